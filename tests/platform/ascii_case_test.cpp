// The one letter-case rule: ASCII a to z only, every other byte as it is.

#include <gtest/gtest.h>

#include "platform/ascii_case.h"

namespace {

TEST(AsciiCase, EndingsAndOrderIgnoreOnlyAsciiCase) {
  const struct {
    const char* text;
    const char* other;
    bool ends_with;  // text ends in other, case ignored
    bool less;       // text before other, case ignored
  } cases[] = {
      {"run.DESKTOP", ".desktop", true, false},
      {"desktop", ".desktop", false, false},
      {"\xC3\x84.Desktop", ".dEsKtOp", true, false},
      {"\xC3\x84", "\xC3\xA4", false, true},  // no case rule for other letters: bytes compared
      {"Apple", "banana", false, true},
      {"apple", "APPLE", true, false},
      {"ab", "ABC", false, true},
      {"_", "a", false, true},  // lower-cased: "_" (0x5F) before "a"
      {"\xFF", "a", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(platform::EndsWithIgnoreCase(c.text, c.other), c.ends_with);
    EXPECT_EQ(platform::LessIgnoreCase(c.text, c.other), c.less);
  }
}

}  // namespace
