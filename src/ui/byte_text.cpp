#include "ui/byte_text.h"

namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0 when the byte there starts none.
std::size_t ValidSequenceLength(std::string_view s, std::size_t i, char32_t& code) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) {
    code = c;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    len = 2, code = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, code = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, code = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

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
    const std::size_t len = ValidSequenceLength(bytes, i, code);
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
  const auto append_utf8 = [&out](char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  };
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
