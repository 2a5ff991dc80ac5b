#pragma once

// The hex calculator's conversions of one byte value between two hexadecimal digits, a decimal
// number and the character with that code (codes 0 to 255 are the characters U+0000 to U+00FF).

#include <optional>
#include <string>
#include <string_view>

namespace tools {

// The calculator's notations, as the indexes of its radio group.
enum class Notation { kHex = 0, kDec = 1, kChr = 2 };

// Entry v of the hex byte table: v as exactly two upper-case hexadecimal digits.
std::u32string HexTableEntry(int v);
// The index of the table entry equal to the whole text ("0A" is found; "0a" and "A" are not).
std::optional<int> HexTableIndex(std::u32string_view text);

struct CalcResult {
  std::optional<std::u32string> text;  // the new value text; nothing keeps the old one
  bool notation_changes = true;        // whether the radio group moves to the target notation
};

// Converts `text`, written in `from`, to `to`. A hexadecimal text that is no table entry stays as
// it is while the notation changes. A value that has no answer in the target (a decimal number
// outside 0 to 255 as hexadecimal, an empty character text, a character above code 255) changes
// nothing at all. Throws std::invalid_argument with the conversion error's message when a
// decimal text is not an integer.
CalcResult ConvertByte(std::u32string_view text, Notation from, Notation to);

}  // namespace tools
