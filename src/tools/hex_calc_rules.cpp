#include "tools/hex_calc_rules.h"

#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace tools {
namespace {

constexpr int kByteCount = 256;

// The text read as a 32-bit decimal integer with an optional sign, as the standard conversion
// reads it; anything else throws its error message.
std::int32_t ParseDecimal(std::u32string_view text) {
  std::string narrow;
  for (char32_t c : text) {
    if (c > 0x7F) {
      narrow.clear();
      break;
    }
    narrow += static_cast<char>(c);
  }
  std::int32_t value = 0;
  const char* begin = narrow.data();
  const char* end = begin + narrow.size();
  if (!narrow.empty() && narrow[0] == '+') ++begin;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (narrow.empty() || error != std::errc() || stop != end) {
    std::string shown;
    for (char32_t c : text) shown += c < 0x80 ? static_cast<char>(c) : '?';
    throw std::invalid_argument("'" + shown + "' is not a valid integer value");
  }
  return value;
}

std::u32string Decimal(int v) {
  const std::string digits = std::to_string(v);
  return std::u32string(digits.begin(), digits.end());
}

}  // namespace

std::u32string HexTableEntry(int v) {
  constexpr char32_t kDigits[] = U"0123456789ABCDEF";
  return {kDigits[(v >> 4) & 15], kDigits[v & 15]};
}

std::optional<int> HexTableIndex(std::u32string_view text) {
  for (int v = 0; v < kByteCount; ++v) {
    if (HexTableEntry(v) == text) return v;
  }
  return std::nullopt;
}

CalcResult ConvertByte(std::u32string_view text, Notation from, Notation to) {
  if (from == to) return {};
  const CalcResult nothing{std::nullopt, false};
  // Every conversion goes through the byte value; `code` is it, or nothing when the text has none.
  std::optional<int> code;
  switch (from) {
    case Notation::kHex:
      code = HexTableIndex(text);
      if (!code) return {};  // no table entry: the text stays, the notation moves all the same
      break;
    case Notation::kDec: {
      const std::int32_t value = ParseDecimal(text);
      if (to == Notation::kChr) {
        code = value & 0xFF;
      } else if (value >= 0 && value < kByteCount) {
        code = value;
      } else {
        return nothing;
      }
      break;
    }
    case Notation::kChr:
      if (text.empty() || text[0] >= static_cast<char32_t>(kByteCount)) return nothing;
      code = static_cast<int>(text[0]);
      break;
  }
  switch (to) {
    case Notation::kHex:
      return {HexTableEntry(*code), true};
    case Notation::kDec:
      return {Decimal(*code), true};
    case Notation::kChr:
      return {std::u32string(1, static_cast<char32_t>(*code)), true};
  }
  return nothing;
}

}  // namespace tools
