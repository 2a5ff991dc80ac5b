#include "tools/hex_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tools {
namespace {

constexpr int kFullLineBytesChars = kBytesPerLine * kCharsPerByte;
constexpr std::string_view kLabelEnd = " : ";

// "00 " to "FF ", three characters (and a spare fourth) for each byte value.
constexpr std::array<char, 256 * 4> MakeByteTable() {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::array<char, 256 * 4> table{};
  for (int v = 0; v < 256; ++v) {
    table[v * 4] = kDigits[v >> 4];
    table[v * 4 + 1] = kDigits[v & 15];
    table[v * 4 + 2] = ' ';
  }
  return table;
}
constexpr std::array<char, 256 * 4> kByteTable = MakeByteTable();

int DecimalDigits(std::uint64_t v) {
  int digits = 1;
  while (v >= 10) {
    v /= 10;
    ++digits;
  }
  return digits;
}

// The sum of the digit counts of the labels 16, 32, ... of lines 1 to line-1.
std::int64_t LabelDigitsBefore(std::int64_t line) {
  std::int64_t sum = 0;
  std::uint64_t low = 1;  // the smallest number with `digits` digits
  for (int digits = 1; digits <= 19; ++digits) {
    const std::uint64_t high = low * 10 - 1;  // fits: 10^19 - 1 < 2^64
    const std::uint64_t first = std::max<std::uint64_t>(1, (low + 15) / 16);
    const std::uint64_t last = std::min<std::uint64_t>(high / 16, line - 1);
    if (line >= 1 && first <= last) sum += static_cast<std::int64_t>(last - first + 1) * digits;
    low *= 10;
  }
  return sum;
}

char* WriteLabel(char* out, std::int64_t line) {
  const std::int64_t label = line == 0 ? 1 : line * kBytesPerLine;
  out = std::to_chars(out, out + 20, label).ptr;
  std::memcpy(out, kLabelEnd.data(), kLabelEnd.size());
  return out + kLabelEnd.size();
}

// The characters of `count` bytes of a line. Four bytes are stored for each three written (one
// store instead of two); the fourth is overwritten by the next byte, so every buffer written to
// keeps one spare byte at its end.
char* WriteLineBytes(char* out, const unsigned char* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    std::memcpy(out, &kByteTable[bytes[i] * 4], 4);
    out += 3;
  }
  return out;
}

char* WriteLine(char* out, std::int64_t line, const unsigned char* bytes, int count) {
  return WriteLineBytes(WriteLabel(out, line), bytes, count);
}

// The line break and label in front of each full line of a block, kept as text and counted up
// by 16 from line to line, which costs a few additions where printing the number would cost a
// division per digit.
class LabelCounter {
 public:
  // Starts at the label of `line` (not the first line, whose label is 1).
  explicit LabelCounter(std::int64_t line) {
    char digits[20];
    const char* end = std::to_chars(digits, digits + sizeof digits, line * kBytesPerLine).ptr;
    first_ = kDigitsEnd - static_cast<int>(end - digits);
    std::memcpy(text_ + first_, digits, static_cast<std::size_t>(end - digits));
    std::memcpy(text_ + kDigitsEnd, kLabelEnd.data(), kLabelEnd.size());
    PlaceBreak();
  }
  // The break, the label and " : ", followed by spare characters up to kSpan in all, so that the
  // copy is of a fixed length: the bytes written next overwrite the spare ones.
  const char* Text() const { return text_ + first_ - kDumpLineBreak.size(); }
  int Length() const {
    return static_cast<int>(kDumpLineBreak.size() + kLabelEnd.size()) + kDigitsEnd - first_;
  }
  static constexpr int kSpan = 32;

  void AddLine() {
    // Labels count in sixteens: 6 on the units, 1 on the tens, and carries from there up.
    char* digit = text_ + kDigitsEnd - 1;
    *digit = static_cast<char>(*digit + 6);
    int carry = *digit > '9' ? 1 : 0;
    *digit = static_cast<char>(*digit - 10 * carry);
    carry += 1;
    while (carry != 0) {
      --digit;
      if (digit < text_ + first_) {  // one digit more: 9984 + 16 = 10000
        *digit = static_cast<char>('0' + carry);
        --first_;
        PlaceBreak();
        return;
      }
      *digit = static_cast<char>(*digit + carry);
      carry = *digit > '9' ? 1 : 0;
      *digit = static_cast<char>(*digit - 10 * carry);
    }
  }

 private:
  // Room for the break and the widest label in front of kDigitsEnd, and for kSpan characters
  // from the break of the widest label on.
  static constexpr int kDigitsEnd = 24;
  void PlaceBreak() {
    std::memcpy(text_ + first_ - kDumpLineBreak.size(), kDumpLineBreak.data(),
                kDumpLineBreak.size());
  }
  char text_[kDigitsEnd + kSpan] = {};
  int first_ = kDigitsEnd;
};

// A block's full lines, each with the break in front of it: the label copied from the counter,
// then the 48 characters of its bytes written by `line_bytes`. Inlined into each caller so that
// `line_bytes` is inlined too.
template <char* (*line_bytes)(char* out, const unsigned char* bytes)>
[[gnu::always_inline]] inline char* WriteFullLines(char* out, std::int64_t line,
                                                   const unsigned char* bytes, std::int64_t lines) {
  LabelCounter label(line);
  for (std::int64_t i = 0; i < lines; ++i) {
    std::memcpy(out, label.Text(), LabelCounter::kSpan);
    out = line_bytes(out + label.Length(), bytes + i * kBytesPerLine);
    label.AddLine();
  }
  return out;
}

char* WriteFullLineBytes(char* out, const unsigned char* bytes) {
  return WriteLineBytes(out, bytes, kBytesPerLine);
}

char* WriteFullLinesPlain(char* out, std::int64_t line, const unsigned char* bytes,
                          std::int64_t lines) {
  return WriteFullLines<WriteFullLineBytes>(out, line, bytes, lines);
}

#if defined(__x86_64__)
// The 48 characters of 16 bytes with SSSE3 byte shuffles: the digits of all high and all low
// nibbles are looked up at once, then spread between the spaces, 16 characters per store. No
// spare byte is written.
[[gnu::target("ssse3")]] char* WriteFullLineBytesSsse3(char* out, const unsigned char* bytes) {
  // For each of the three 16-character stores: which high digit, low digit or space goes where
  // (-128: none from this source).
  struct Spread {
    alignas(16) signed char high[3][16];
    alignas(16) signed char low[3][16];
    alignas(16) signed char space[3][16];
  };
  static constexpr Spread kSpread = [] {
    Spread spread{};
    for (int store = 0; store < 3; ++store) {
      for (int at = 0; at < 16; ++at) {
        const int column = store * 16 + at;
        const int byte = column / kCharsPerByte;
        const int part = column % kCharsPerByte;
        spread.high[store][at] = static_cast<signed char>(part == 0 ? byte : -128);
        spread.low[store][at] = static_cast<signed char>(part == 1 ? byte : -128);
        spread.space[store][at] = static_cast<signed char>(part == 2 ? ' ' : 0);
      }
    }
    return spread;
  }();
  const __m128i digits =
      _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
  const __m128i nibble = _mm_set1_epi8(15);
  const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(value, 4), nibble));
  const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(value, nibble));
  for (int store = 0; store < 3; ++store) {
    const auto table = [store](const signed char(&rows)[3][16]) {
      return _mm_load_si128(reinterpret_cast<const __m128i*>(rows[store]));
    };
    const __m128i text = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(high, table(kSpread.high)),
                                                   _mm_shuffle_epi8(low, table(kSpread.low))),
                                      table(kSpread.space));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + store * 16), text);
  }
  return out + kFullLineBytesChars;
}

[[gnu::target("ssse3")]] char* WriteFullLinesSsse3(char* out, std::int64_t line,
                                                   const unsigned char* bytes, std::int64_t lines) {
  return WriteFullLines<WriteFullLineBytesSsse3>(out, line, bytes, lines);
}
#endif

// The full lines of a block with the fastest way this processor has.
char* WriteFullLinesFastest(char* out, std::int64_t line, const unsigned char* bytes,
                            std::int64_t lines) {
#if defined(__x86_64__)
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) return WriteFullLinesSsse3(out, line, bytes, lines);
#endif
  return WriteFullLinesPlain(out, line, bytes, lines);
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The first place of `needle` in `data`. memchr runs for the needle's byte that is rarest in a
// sample of the data, which skips most of a block at memory speed; when that byte turns up too
// often anyway, memmem takes over for the rest of the block.
const char* FindInBlock(const char* data, std::size_t size, std::string_view needle) {
  const std::size_t length = needle.size();
  if (size < length) return nullptr;
  std::size_t counts[256] = {};
  const std::size_t samples = std::min<std::size_t>(size, 4096);
  for (std::size_t i = 0; i < samples; ++i) {
    ++counts[static_cast<unsigned char>(data[i * (size / samples)])];
  }
  std::size_t key_at = 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (counts[static_cast<unsigned char>(needle[i])] <
        counts[static_cast<unsigned char>(needle[key_at])]) {
      key_at = i;
    }
  }
  const char* at = data + key_at;
  const char* const last = data + (size - length) + key_at;
  std::size_t hits = 0;
  while (at <= last) {
    at = static_cast<const char*>(
        std::memchr(at, needle[key_at], static_cast<std::size_t>(last - at) + 1));
    if (at == nullptr) return nullptr;
    const char* start = at - key_at;
    if (std::memcmp(start, needle.data(), length) == 0) return start;
    if (++hits > 1024 && hits > static_cast<std::size_t>(at - data) / 32) {
      ++start;
      return static_cast<const char*>(
          memmem(start, static_cast<std::size_t>(data + size - start), needle.data(), length));
    }
    ++at;
  }
  return nullptr;
}

}  // namespace

std::int64_t ReadDumpBytes(const ByteReader& read, std::int64_t offset, char* buffer,
                           std::int64_t count) {
  std::int64_t done = 0;
  while (done < count) {
    const std::int64_t n = read(offset + done, buffer + done, count - done);
    if (n < 0) return -1;
    if (n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t DumpBlockBytes(std::int64_t block) {
  return std::max<std::int64_t>(kBytesPerLine, block / kBytesPerLine * kBytesPerLine);
}

std::int64_t DumpLineCount(std::int64_t size) {
  return size <= 0 ? 1 : (size + kBytesPerLine - 1) / kBytesPerLine;
}

int DumpLabelLength(std::int64_t line) {
  const std::uint64_t label = line == 0 ? 1 : static_cast<std::uint64_t>(line) * kBytesPerLine;
  return DecimalDigits(label) + static_cast<int>(kLabelEnd.size());
}

int DumpLineLength(std::int64_t line, std::int64_t size) {
  const std::int64_t bytes =
      std::clamp<std::int64_t>(size - line * kBytesPerLine, 0, kBytesPerLine);
  return DumpLabelLength(line) + static_cast<int>(bytes) * kCharsPerByte;
}

std::int64_t DumpLineStart(std::int64_t line) {
  if (line <= 0) return 0;
  // Line 0 is "1 : " and 48 characters; every later full line is its digits, " : " and 48.
  const std::int64_t first_line = DumpLabelLength(0) + kFullLineBytesChars;
  const std::int64_t later_lines =
      (line - 1) * (static_cast<std::int64_t>(kLabelEnd.size()) + kFullLineBytesChars) +
      LabelDigitsBefore(line);
  return first_line + later_lines + line * static_cast<std::int64_t>(kDumpLineBreak.size());
}

std::int64_t DumpTextLength(std::int64_t size) {
  const std::int64_t last = DumpLineCount(size) - 1;
  return DumpLineStart(last) + DumpLineLength(last, size);
}

std::int64_t DumpLineAt(std::int64_t position, std::int64_t size) {
  std::int64_t low = 0, high = DumpLineCount(size) - 1;
  while (low < high) {
    const std::int64_t mid = low + (high - low + 1) / 2;
    if (DumpLineStart(mid) <= position) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return low;
}

std::optional<std::int64_t> DumpByteAt(std::int64_t position, std::int64_t size) {
  if (position < 0) return std::nullopt;
  const std::int64_t line = DumpLineAt(position, size);
  const std::int64_t column = position - DumpLineStart(line) - DumpLabelLength(line);
  if (column < 0) return std::nullopt;
  const std::int64_t offset = line * kBytesPerLine + column / kCharsPerByte;
  if (column / kCharsPerByte >= kBytesPerLine || offset >= size) return std::nullopt;
  return offset;
}

std::int64_t DumpBytePosition(std::int64_t offset) {
  const std::int64_t line = offset / kBytesPerLine;
  return DumpLineStart(line) + DumpLabelLength(line) + (offset % kBytesPerLine) * kCharsPerByte;
}

void AppendDumpLine(std::string& out, std::int64_t line, const unsigned char* bytes, int count) {
  const std::size_t old_size = out.size();
  out.resize(old_size + 24 + static_cast<std::size_t>(count) * kCharsPerByte);
  char* end = WriteLine(out.data() + old_size, line, bytes, count);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string DumpTextColumn(const unsigned char* bytes, int count) {
  std::string column(static_cast<std::size_t>(std::max(count, 0)), '.');
  for (int i = 0; i < count; ++i) {
    if (bytes[i] >= 0x20 && bytes[i] < 0x7F)
      column[static_cast<std::size_t>(i)] = static_cast<char>(bytes[i]);
  }
  return column;
}

std::size_t DumpBlockCapacity(std::int64_t count) {
  // The longest line: a break, a 19-digit label, " : " and 16 bytes; and the spare byte.
  constexpr std::size_t kMaxLine = 2 + 19 + 3 + kFullLineBytesChars;
  return static_cast<std::size_t>(DumpLineCount(count)) * kMaxLine + 1;
}

char* FormatDumpBlock(char* out, std::int64_t offset, const unsigned char* bytes,
                      std::int64_t count) {
  std::int64_t done = 0;
  if (offset == 0 && count > 0) {  // the first line: label 1 and no break in front
    done = std::min<std::int64_t>(kBytesPerLine, count);
    out = WriteLine(out, 0, bytes, static_cast<int>(done));
  }
  const std::int64_t full_lines = (count - done) / kBytesPerLine;
  out = WriteFullLinesFastest(out, (offset + done) / kBytesPerLine, bytes + done, full_lines);
  done += full_lines * kBytesPerLine;
  if (done < count) {  // the file's last line, short
    std::memcpy(out, kDumpLineBreak.data(), kDumpLineBreak.size());
    out = WriteLine(out + kDumpLineBreak.size(), (offset + done) / kBytesPerLine, bytes + done,
                    static_cast<int>(count - done));
  }
  return out;
}

StreamResult StreamDump(const ByteReader& read, std::int64_t size, const TextSink& sink,
                        const KeepGoing& keep_going, std::int64_t block) {
  if (size <= 0) return sink("1 : ") ? StreamResult::kDone : StreamResult::kWriteError;
  block = DumpBlockBytes(block);
  std::vector<char> bytes(static_cast<std::size_t>(block));
  std::vector<char> text(DumpBlockCapacity(block));
  for (std::int64_t offset = 0; offset < size;) {
    const std::int64_t count = std::min(block, size - offset);
    if (ReadDumpBytes(read, offset, bytes.data(), count) != count) return StreamResult::kReadError;
    const char* end = FormatDumpBlock(text.data(), offset,
                                      reinterpret_cast<const unsigned char*>(bytes.data()), count);
    if (!sink(std::string_view(text.data(), static_cast<std::size_t>(end - text.data())))) {
      return StreamResult::kWriteError;
    }
    offset += count;
    if (!keep_going(offset) && offset < size) return StreamResult::kAborted;
  }
  return StreamResult::kDone;
}

std::optional<std::string> DumpSlice(const ByteReader& read, std::int64_t size, std::int64_t from,
                                     std::int64_t to) {
  const std::int64_t length = DumpTextLength(size);
  from = std::clamp<std::int64_t>(from, 0, length);
  to = std::clamp<std::int64_t>(to, from, length);
  if (from == to) return std::string();
  const std::int64_t first = DumpLineAt(from, size);
  const std::int64_t last = DumpLineAt(to - 1, size);
  const std::int64_t byte_from = first * kBytesPerLine;
  const std::int64_t byte_count = std::min(size, (last + 1) * kBytesPerLine) - byte_from;
  std::vector<char> bytes(static_cast<std::size_t>(std::max<std::int64_t>(byte_count, 0)));
  if (ReadDumpBytes(read, byte_from, bytes.data(), byte_count) != byte_count) return std::nullopt;
  std::string text;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::int64_t line_count = DumpLineCount(size);
  for (std::int64_t line = first; line <= last; ++line) {
    const std::int64_t at = (line - first) * kBytesPerLine;
    AppendDumpLine(text, line, data + at,
                   static_cast<int>(std::clamp<std::int64_t>(byte_count - at, 0, kBytesPerLine)));
    if (line + 1 < line_count) text += kDumpLineBreak;
  }
  const std::int64_t base = DumpLineStart(first);
  return text.substr(static_cast<std::size_t>(from - base), static_cast<std::size_t>(to - from));
}

FindOutcome FindBytes(const ByteReader& read, std::int64_t size, std::string_view needle,
                      std::int64_t from, const KeepGoing& keep_going, std::int64_t block) {
  const auto length = static_cast<std::int64_t>(needle.size());
  if (length == 0) return {};
  block = std::max<std::int64_t>(block, 1);
  // Each window reaches length-1 bytes into the next block, so a match across the edge is seen.
  std::vector<char> buffer(static_cast<std::size_t>(block + length - 1));
  for (std::int64_t at = std::max<std::int64_t>(from, 0); at + length <= size;) {
    const std::int64_t count = std::min(block + length - 1, size - at);
    if (ReadDumpBytes(read, at, buffer.data(), count) != count) return {FindStatus::kReadError, -1};
    const char* hit = FindInBlock(buffer.data(), static_cast<std::size_t>(count), needle);
    if (hit != nullptr) return {FindStatus::kFound, at + (hit - buffer.data())};
    at += block;
    if (at + length <= size && !keep_going(at)) return {FindStatus::kAborted, -1};
  }
  return {};
}

std::optional<std::int64_t> ParseOffset(std::string_view text) {
  text = Trim(text);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> ParseFindPattern(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
    if (text.empty()) return std::nullopt;
    return std::string(text);
  }
  if (text.empty()) return std::nullopt;
  std::string bytes;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ' || text[at] == '\t') {
      ++at;
      continue;
    }
    const bool pair = at + 1 < text.size() && HexValue(text[at]) >= 0 &&
                      HexValue(text[at + 1]) >= 0 &&
                      (at + 2 == text.size() || text[at + 2] == ' ' || text[at + 2] == '\t');
    if (!pair) return std::string(text);
    bytes += static_cast<char>(HexValue(text[at]) * 16 + HexValue(text[at + 1]));
    at += 2;
  }
  return bytes;
}

std::string SizePanelText(std::int64_t size) {
  if (size >= 1024) return "Size : " + std::to_string(size / 1024) + " KBaytes";
  return "Size : " + std::to_string(size) + " Bytes";
}

std::string CountPanelText(std::int64_t size, std::int64_t done) {
  return std::to_string(size) + "\\" + std::to_string(done) + "(Bytes)";
}

std::string PercentText(std::int64_t done, std::int64_t size) {
  if (size <= 0) return "100%";
  return std::to_string(done / size * 100 + done % size * 100 / size) + "%";
}

std::string DumpSizeText(std::int64_t size) {
  return "HEX File Size : " + std::to_string(DumpTextLength(size)) + "Bytes";
}

std::string OffsetText(std::int64_t offset) {
  char hex[24];
  const auto end = std::to_chars(hex, hex + sizeof hex, offset, 16).ptr;
  std::string upper(hex, end);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return "Offset: " + std::to_string(offset) + " (0x" + upper + ")";
}

}  // namespace tools
