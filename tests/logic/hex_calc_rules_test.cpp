#include "tools/hex_calc_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tools {
namespace {

constexpr Notation kHex = Notation::kHex, kDec = Notation::kDec, kChr = Notation::kChr;

TEST(HexCalc, TableHoldsEveryByteAsTwoUpperCaseDigits) {
  EXPECT_EQ(HexTableEntry(0), U"00");
  EXPECT_EQ(HexTableEntry(10), U"0A");
  EXPECT_EQ(HexTableEntry(255), U"FF");
  for (int v = 0; v < 256; ++v) EXPECT_EQ(HexTableIndex(HexTableEntry(v)), v);
  for (const char32_t* missing : {U"0a", U"A", U"ff", U"100", U"", U" 0A", U"G0"}) {
    EXPECT_EQ(HexTableIndex(missing), std::nullopt);
  }
}

TEST(HexCalc, Conversions) {
  struct Row {
    const char32_t* text;
    Notation from, to;
    const char32_t* result;  // nullptr: the text stays
    bool notation_changes;
  };
  const Row rows[] = {
      {U"FF", kHex, kDec, U"255", true},
      {U"255", kDec, kChr, U"\u00FF", true},
      {U"\u00FF", kChr, kHex, U"FF", true},
      {U"0A", kHex, kDec, U"10", true},
      {U"1A", kHex, kDec, U"26", true},
      {U"00", kHex, kDec, U"0", true},
      {U"41", kHex, kChr, U"A", true},
      {U"A", kChr, kHex, U"41", true},
      {U"A", kChr, kDec, U"65", true},
      {U"Abc", kChr, kDec, U"65", true},  // the first character counts
      {U"65", kDec, kChr, U"A", true},
      {U"321", kDec, kChr, U"A", true},  // the low 8 bits
      {U"-1", kDec, kChr, U"\u00FF", true},
      {U"10", kDec, kHex, U"0A", true},
      {U"+7", kDec, kHex, U"07", true},
      // A hexadecimal text that is no table entry stays while the notation moves.
      {U"ff", kHex, kDec, nullptr, true},
      {U"A", kHex, kChr, nullptr, true},
      // The same notation: nothing to do.
      {U"zz", kHex, kHex, nullptr, true},
      {U"abc", kDec, kDec, nullptr, true},
      // No byte to show: nothing changes at all.
      {U"256", kDec, kHex, nullptr, false},
      {U"-1", kDec, kHex, nullptr, false},
      {U"", kChr, kHex, nullptr, false},
      {U"", kChr, kDec, nullptr, false},
      {U"\u20AC", kChr, kHex, nullptr, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::u32string(row.text).size());
    const CalcResult result = ConvertByte(row.text, row.from, row.to);
    if (row.result == nullptr) {
      EXPECT_EQ(result.text, std::nullopt);
    } else {
      EXPECT_EQ(result.text, std::u32string(row.result));
    }
    EXPECT_EQ(result.notation_changes, row.notation_changes);
  }
}

TEST(HexCalc, DecimalThatIsNoIntegerIsAConversionError) {
  for (const char32_t* bad : {U"abc", U"", U"1.5", U"12a", U"99999999999", U"\u0661"}) {
    EXPECT_THROW(ConvertByte(bad, kDec, kHex), std::invalid_argument);
    EXPECT_THROW(ConvertByte(bad, kDec, kChr), std::invalid_argument);
  }
  try {
    ConvertByte(U"abc", kDec, kHex);
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

}  // namespace
}  // namespace tools
