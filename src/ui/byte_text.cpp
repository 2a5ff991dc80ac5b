#include "ui/byte_text.h"

#include "platform/utf8.h"

QString BytesToText(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Runs of plain ASCII are the common case; copy them without decoding.
    std::size_t j = i;
    while (j < bytes.size() && static_cast<unsigned char>(bytes[j]) < 0x80) ++j;
    if (j > i) {
      out.append(QLatin1String(bytes.data() + i, static_cast<qsizetype>(j - i)));
      i = j;
      continue;
    }
    char32_t code = 0;
    const std::size_t len = platform::DecodeUtf8(bytes.substr(i), code);
    if (len == 0) {
      out.append(QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i]))));
      ++i;
    } else {
      out.append(QString::fromUcs4(&code, 1));
      i += len;
    }
  }
  return out;
}

std::string TextToBytes(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  const auto append_utf8 = [&out](char32_t c) { platform::AppendUtf8(out, c); };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u >= 0xDC80 && u <= 0xDCFF) {
      out += static_cast<char>(u - 0xDC00);  // an escaped byte
    } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
               QChar::isLowSurrogate(text[i + 1].unicode())) {
      append_utf8(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
      ++i;
    } else if (QChar::isSurrogate(u)) {
      append_utf8(0xFFFD);  // a lone surrogate that no byte stands for
    } else {
      append_utf8(u);
    }
  }
  return out;
}
