#pragma once

// The search masks: which file names a mask such as "*.txt" or "[a-c]*" matches, and which masks
// are refused. Only a bare name is ever matched, never a path.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// More "*" groups than this and a mask is refused.
inline constexpr int kMaxStarGroups = 30;

// A mask checked and taken apart once, so that matching many names costs no parsing.
class Mask {
 public:
  // The mask, or nothing with `error` set to why it is refused: a set not closed by "]", an empty
  // set, a "-" with no character before it in a set, more than kMaxStarGroups groups of "*", or
  // the path delimiter, which no name can hold.
  static std::optional<Mask> Compile(std::string_view text, std::string* error = nullptr);

  // True when the mask matches the whole name. "*" matches any run of characters, "?" exactly
  // one character (nothing directly after a "*"), a set one character of the set; ASCII letters
  // match without regard to case, also inside sets; every other character matches itself.
  bool Matches(std::string_view name) const;

 private:
  struct Range {
    char32_t first, last;
  };
  struct Token {
    enum Kind { kStar, kAny, kLiteral, kSet } kind;
    char byte = 0;              // kLiteral: one byte of the mask
    bool negated = false;       // kSet: "[!...]"
    std::vector<Range> ranges;  // kSet: single characters are ranges of one
  };

  bool SetMatches(const Token& set, char32_t c) const;

  std::vector<Token> tokens_;
  // The literal bytes the mask ends with (lower case): every name it matches ends with them, so
  // most names are refused by one comparison.
  std::string tail_;
};

// The reason the mask window refuses a listing mask, or an empty text: the path delimiter would
// make the listing read another directory, and a ")" would end the console command that
// carries the mask, which would then apply only the part before it.
std::string ListingMaskError(std::string_view mask);

}  // namespace tools
