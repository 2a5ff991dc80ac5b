// The console's completion list and listing line.

#include "console/console_rules.h"
#include "console/console_text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace console {
namespace {

TEST(Completions, MatchAnywhereInTheNameIgnoringCaseInTableOrder) {
  using Names = std::vector<std::string>;
  const struct {
    const char* typed;
    Names names;
  } cases[] = {
      {"set", {"SetVar()", "cn_set_X()", "cn_set_y()", "cn_set_wt()", "cn_set_ht()"}},
      {"CN_P", {"cn_print()"}},
      {"msgbox_", {"MsgBox_1()", "MsgBox_2()", "MsgBox_3()"}},
      {"_x", {"cn_set_X()"}},
      {"help", {"help()", "help_on()"}},
      {"", {}},            // an empty line matches nothing
      {"cn_print()", {}},  // the whole text must be in the name
      {"zzz", {}},
      {"\xc3\xa9", {}},  // bytes beyond ASCII are kept, and match no name
  };
  for (const auto& c : cases) EXPECT_EQ(CompletionsFor(c.typed), c.names) << c.typed;
}

TEST(ListingLine, NameSizeAndDateAndTheBufferIsReplaced) {
  std::string line = "an older, longer line that must not survive";
  FormatListingLine(line, "readme.txt", 1024, "12.05.2004");
  EXPECT_EQ(line, "readme.txt; Size: 1024; Date: 12.05.2004");
  FormatListingLine(line, "..", 0, "01/01/1970");
  EXPECT_EQ(line, "..; Size: 0; Date: 01/01/1970");
  // Sizes past 4 GB keep every digit.
  FormatListingLine(line, "big.iso", 1099511627776LL, "");
  EXPECT_EQ(line, "big.iso; Size: 1099511627776; Date: ");
}

TEST(ConsoleWrap, RowsBreakAtSpacesAndOnlyOverlongWordsAreCut) {
  const struct {
    std::u16string line;
    std::size_t per_row;
    std::vector<std::size_t> starts;
  } cases[] = {
      {u"", 5, {0}},
      {u"short", 5, {0}},
      {u"> Example FALSE", 10, {0, 10}},  // "> Example " / "FALSE"
      {u"ab cd ef", 4, {0, 3, 6}},        // "ab " / "cd " / "ef"
      {u"abcd efgh", 4, {0, 5}},          // the space past the row's end
      {u"abcdefghij", 4, {0, 4, 8}},      // one word longer than a row
      {u"a bcdefghij", 4, {0, 2, 6, 10}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapStarts(c.line, c.per_row), c.starts) << c.line.size() << "/" << c.per_row;
  }
}

}  // namespace
}  // namespace console
