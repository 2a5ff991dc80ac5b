// Search masks: what a mask matches, and which masks are refused.

#include <gtest/gtest.h>

#include "tools/mask_rules.h"

namespace {

// A mask compiled and applied in one step; false for a refused mask.
bool MatchesMask(std::string_view name, std::string_view mask) {
  const auto compiled = tools::Mask::Compile(mask);
  return compiled && compiled->Matches(name);
}

// The reason a mask is refused, or an empty text when it is usable.
std::string MaskError(std::string_view mask) {
  std::string error;
  tools::Mask::Compile(mask, &error);
  return error;
}

TEST(MaskRules, MatchTable) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      // Letters match without regard to case; the whole name must match.
      {"*.txt", "A.TXT", true},
      {"*.TXT", "a.txt", true},
      {"*.TXT", "B.Txt", true},
      {"*.txt", "a.txt.bak", false},
      {"*.txt", "txt", false},
      // The literal end of a mask is checked first: it must also hold with no star, after a
      // set, and in bytes of several-byte characters.
      {"abc", "xbc", false},
      {"ABC", "abc", true},
      {"[ab]x", "bX", true},
      {"[ab]x", "x", false},
      {"*\xC3\xA9", "caf\xC3\xA9", true},
      {"*\xC3\xA9", "caf\xC3\xA8", false},
      {"*", "", true},
      {"*", "no_dot", true},
      // "*.*" by these rules needs a dot; the search treats that exact mask apart.
      {"*.*", "no_dot", false},
      {"*.*", "a.b", true},
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"?.txt", ".txt", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      // "?" directly after "*" adds nothing.
      {"*?", "", true},
      {"a*?", "a", true},
      {"*?.txt", ".txt", true},
      {"?*", "", false},
      // A "?" stands for one character, also a character of several bytes.
      {"?.txt", "\xC3\xA9.txt", true},
      {"??.txt", "\xC3\xA9.txt", false},
      // Sets.
      {"[a-c]*", "Beta", true},
      {"[a-c]*", "delta", false},
      {"[A-C]*", "beta", true},
      {"[!a]*", "apple", false},
      {"[!a]*", "Apple", false},
      {"[!a]*", "pear", true},
      {"[abc].txt", "b.txt", true},
      {"[abc].txt", "d.txt", false},
      {"[a-]x", "-x", true},
      {"[0-9][0-9]", "42", true},
      {"[0-9][0-9]", "4a", false},
      {"[\xC3\xA0-\xC3\xBF]", "\xC3\xA9", true},
      {"[z-a]", "m", false},
      // Every other character matches itself, "]" outside a set included.
      {"a]b", "a]b", true},
      {"a.b", "aXb", false},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", true},
      // A star retried one character further each time.
      {"*ab*ab", "xabyabab", true},
      {"*a*b*c", "aXbXc", true},
      {"*a*b*c", "aXbX", false},
      // Names that are not UTF-8 still match byte for byte.
      {"*.txt", "bad\xFF.txt", true},
      {"bad?.txt", "bad\xFF.txt", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << "mask " << c.mask << " name " << c.name;
  }
}

TEST(MaskRules, RefusedMasks) {
  const struct {
    const char* mask;
    const char* why;
  } cases[] = {
      {"[abc", "not closed"},
      {"x[a-", "not closed"},
      {"[!", "not closed"},
      {"[]", "empty"},
      {"[!]", "empty"},
      {"[-a]", "no character before"},
      {"[!-a]", "no character before"},
      {"sub/*.txt", "delimiter"},
      {"/", "delimiter"},
  };
  for (const auto& c : cases) {
    const std::string error = MaskError(c.mask);
    EXPECT_NE(error.find(c.why), std::string::npos) << c.mask << ": " << error;
    EXPECT_FALSE(MatchesMask("abc", c.mask)) << c.mask;
  }
}

TEST(MaskRules, StarGroupsAreCountedAsRuns) {
  std::string mask;
  for (int i = 0; i < tools::kMaxStarGroups; ++i) mask += "*x";
  EXPECT_EQ(MaskError(mask), "");
  EXPECT_NE(MaskError(mask + "*"), "");
  // Stars and question marks next to each other make one group.
  std::string runs;
  for (int i = 0; i < tools::kMaxStarGroups; ++i) runs += "*?**?a";
  EXPECT_EQ(MaskError(runs), "");
  EXPECT_TRUE(MatchesMask(std::string(30, 'a'), runs));
}

TEST(MaskRules, UsableMasksHaveNoError) {
  for (const char* mask : {"*.*", "*", "", "[a-c]*", "[a-]", "a]b", "*?", "x-y"}) {
    EXPECT_EQ(MaskError(mask), "") << mask;
  }
  // The empty mask matches only the empty name.
  EXPECT_FALSE(MatchesMask("a", ""));
}

}  // namespace

namespace {

TEST(ListingMask, RefusesWhatWouldListElsewhereOrBeCut) {
  EXPECT_EQ(tools::ListingMaskError("*.txt"), "");
  EXPECT_EQ(tools::ListingMaskError("[a-"), "");  // sets mean nothing to a listing
  EXPECT_EQ(tools::ListingMaskError("(1)"), "A mask cannot hold \")\"");
  EXPECT_EQ(tools::ListingMaskError("../*"), "A mask cannot hold \"/\"");
  EXPECT_EQ(tools::ListingMaskError("sub/"), "A mask cannot hold \"/\"");
}

}  // namespace
