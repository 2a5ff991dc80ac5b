#include "tools/undo_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace tools {
namespace {

TEST(UndoRules, EntriesComeBackAsWrittenWithTheirCaptions) {
  const platform::FileIdentity id{3, 4, 5, 6, 7};
  struct Case {
    UndoEntry entry;
    const char* caption;
  };
  const Case cases[] = {
      {{UndoKind::kTrash, id, {"/d/a b.txt", "/t/files/a b.txt", "/t/info/a b.txt.trashinfo"}},
       "Undo delete of a b.txt"},
      {{UndoKind::kRename, id, {"/d/report.txt", std::string("/d/new\tname\n", 13)}},
       "Undo rename of report.txt"},
      {{UndoKind::kCreate, {}, {"/d/empty"}}, "Undo creation of empty"},
      {{UndoKind::kBatch, {}, {}}, "Undo renaming run"},
  };
  std::string text;
  for (const Case& c : cases) text += UndoEntryLine(c.entry);
  const auto entries = ParseUndoHistory(text + "RENAME\t1\t2");  // a last line cut by a crash
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ((*entries)[i].kind, cases[i].entry.kind);
    EXPECT_EQ((*entries)[i].paths, cases[i].entry.paths);
    EXPECT_EQ((*entries)[i].id, cases[i].entry.id);
    EXPECT_EQ(UndoCaption((*entries)[i]), cases[i].caption);
  }
  EXPECT_EQ(ParseUndoHistory("")->size(), 0u);
}

TEST(UndoRules, AHistoryWithALineThatCannotBeReadIsRefusedWhole) {
  for (const char* damaged : {
           "BATCH\r\nnonsense\r\n",
           "RENAME\t1\t2\t3\t4\t5\t/a\r\n",            // one path short
           "RENAME\t1\t2\t3\t4\t5\trelative\t/b\r\n",  // not a full path
           "CREATE\t1\tx\t3\t4\t5\t/a\r\nBATCH\r\n",   // not a number
           "TRASH\t1\t2\t3\t4\t5\t/a\t/b\t/c\\q\r\n",  // a bad escape
           "BATCH\textra\r\n",
       }) {
    EXPECT_FALSE(ParseUndoHistory(damaged)) << damaged;
  }
}

}  // namespace
}  // namespace tools
