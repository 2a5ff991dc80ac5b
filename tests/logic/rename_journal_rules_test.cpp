#include "tools/rename_journal_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tools {
namespace {

TEST(RenameJournalRules, PairsComeBackAsWrittenWhateverBytesThePathsHold) {
  const JournalPair odd{7, 123456789012345ULL, std::string("/d/a\tb\\c\r\nd\xff", 13), "/d/n 1"};
  const JournalPair plain{7, 2, "/d/x", "/d/0_x"};
  const std::string text = JournalRunLine() + JournalPairLine(odd) + JournalPairLine(plain);
  const auto run = LastJournalRun(text);
  ASSERT_TRUE(run);
  ASSERT_EQ(run->pairs.size(), 2u);
  EXPECT_EQ(run->pairs[0].old_path, odd.old_path);
  EXPECT_EQ(run->pairs[0].new_path, odd.new_path);
  EXPECT_EQ(run->pairs[0].device, 7u);
  EXPECT_EQ(run->pairs[0].inode, 123456789012345ULL);
  EXPECT_EQ(run->pairs[1].new_path, "/d/0_x");
  EXPECT_FALSE(run->undone);
  // One record per line, whatever the paths hold.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST(RenameJournalRules, TheLastRunCountsWithoutFailedPairsAndCutLines) {
  const JournalPair a{1, 1, "/d/a", "/d/0_a"};
  const JournalPair b{1, 2, "/d/b", "/d/1_b"};
  const JournalPair c{1, 3, "/d/c", "/d/2_c"};
  const std::string older = JournalRunLine() + JournalPairLine(a) + JournalUndoneLine();
  const std::string last = JournalRunLine() + JournalPairLine(a) + JournalPairLine(b) +
                           JournalFailedLine() + JournalPairLine(c);
  // A crash in the middle of a line leaves a line that is not read.
  const std::string cut = JournalPairLine(c).substr(0, 12);
  const auto run = LastJournalRun(older + last + cut);
  ASSERT_TRUE(run);
  ASSERT_EQ(run->pairs.size(), 2u);
  EXPECT_EQ(run->pairs[0].old_path, "/d/a");
  EXPECT_EQ(run->pairs[1].old_path, "/d/c");
  EXPECT_FALSE(run->undone);

  const auto undone = LastJournalRun(older);
  ASSERT_TRUE(undone);
  EXPECT_TRUE(undone->undone);

  EXPECT_FALSE(LastJournalRun(""));
  EXPECT_FALSE(LastJournalRun("MOVE\t1\t1\t/a\t/b\r\n"));  // no run started
  EXPECT_TRUE(
      LastJournalRun("RUN\r\nMOVE\t1\tx\t/a\t/b\r\nMOVE\t1\t1\t/a\\q\t/b\r\n")->pairs.empty());
}

}  // namespace
}  // namespace tools
