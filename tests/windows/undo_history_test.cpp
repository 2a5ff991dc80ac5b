#include "tools/undo_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tools {
namespace {

TEST(UndoHistory, AppendsAfterALineCutShortAndRewritesItselfOnceTooLong) {
  TempDir dir;
  const UndoHistory history(dir.Path() + "/" + kUndoFileName);
  const UndoEntry create{UndoKind::kCreate, {}, {"/d/new"}};
  const UndoEntry running{UndoKind::kCopy, {}, {}, {{{0, 0, 5, 6, 0}, "/s/a", "/d/a"}}, {}, 7};

  // What a crash cut short is read by no one, and what is added next is read after it.
  dir.CreateFile(kUndoFileName, UndoEntryLine(create) + "RENAME\t1\t2");
  ASSERT_TRUE(history.Record(running, true));
  ASSERT_TRUE(history.RecordMade(7, {{{3, 4, 5, 6, 7}, "/s/a", "/d/a"}}));
  const auto read = history.Load();
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (std::vector<UndoEntry>{
                       create, {UndoKind::kCopy, {}, {}, {{{3, 4, 5, 6, 7}, "/s/a", "/d/a"}}}}));

  // Appends alone never take the history far beyond the cap of a rewrite.
  const std::string name(std::size_t{1} << 20, 'n');
  const UndoEntry large{UndoKind::kCopy, {}, {}, {{{}, "/s/" + name, "/d/" + name}}};
  std::string text;
  while (text.size() < kMaxUndoHistoryBytes + kMaxTransferLineBytes) text += UndoEntryLine(large);
  dir.CreateFile(kUndoFileName, text);
  ASSERT_TRUE(history.Record(running));
  const auto kept = history.Load();
  ASSERT_TRUE(kept);
  EXPECT_LE(dir.Read(kUndoFileName).size(), kMaxUndoHistoryBytes);
  ASSERT_GT(kept->size(), 1u);
  EXPECT_EQ(kept->front(), large);
  EXPECT_EQ(kept->back(), running);
}

}  // namespace
}  // namespace tools
