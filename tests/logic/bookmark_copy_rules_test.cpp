// The bookmark list rules and the copy windows' path and progress texts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/bookmark_rules.h"
#include "platform/paths.h"
#include "tools/copy_rules.h"

namespace {

using Lines = std::vector<std::string>;

TEST(BookmarkRules, ParseAcceptsEveryLineEndAndKeepsEmptyAndLastLines) {
  struct Case {
    const char* text;
    Lines expected;
  };
  const Case cases[] = {
      {"", {}},
      {"/a/\r\n/b/\r\n", {"/a/", "/b/"}},
      {"/a/\r\n/b/", {"/a/", "/b/"}},  // no final line break
      {"/a/\n/b/\r/c/\r\n", {"/a/", "/b/", "/c/"}},
      {"/a/\r\n\r\n/c/\r\n", {"/a/", "", "/c/"}},
      {"/caf\xE9/\r\n", {"/caf\xE9/"}},  // bytes stay bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(bookmarks::Parse(c.text), c.expected);
  }
  EXPECT_EQ(bookmarks::Serialize({"/a/", "", "/caf\xE9/"}), "/a/\r\n\r\n/caf\xE9/\r\n");
  EXPECT_EQ(bookmarks::Serialize({}), "");
}

TEST(BookmarkRules, ExactFindCountsCaseAndSearchFindsTheFirstHolder) {
  const Lines list = {"/home/ann/", "/srv/data/", "/home/bob/", ""};
  EXPECT_EQ(bookmarks::FindExact(list, "/srv/data/"), 1);
  EXPECT_EQ(bookmarks::FindExact(list, "/SRV/data/"), -1);
  EXPECT_EQ(bookmarks::FindExact(list, "/srv/data"), -1);
  EXPECT_EQ(bookmarks::FindExact(list, ""), 3);

  EXPECT_EQ(bookmarks::FindContaining(list, "home"), 0);
  EXPECT_EQ(bookmarks::FindContaining(list, "bob"), 2);
  EXPECT_EQ(bookmarks::FindContaining(list, "data/"), 1);
  EXPECT_EQ(bookmarks::FindContaining(list, "HOME"), -1);
  EXPECT_EQ(bookmarks::FindContaining(list, ""), -1);
  EXPECT_EQ(bookmarks::FindContaining(list, "/nowhere"), -1);
}

TEST(BookmarkRules, SortIgnoresCaseAndInsertsAtTheSortedPlace) {
  Lines list = {"/srv/", "/Home/b/", "/home/a/", "/Apps/", "/home/A/", ""};
  bookmarks::Sort(list);
  EXPECT_EQ(list, (Lines{"", "/Apps/", "/home/A/", "/home/a/", "/Home/b/", "/srv/"}));
  EXPECT_EQ(bookmarks::SortedPosition(list, "/b/"), 2);
  EXPECT_EQ(bookmarks::SortedPosition(list, "/HOME/B/"), 4);
  EXPECT_EQ(bookmarks::SortedPosition(list, "/zzz/"), 6);
  EXPECT_EQ(bookmarks::SortedPosition(list, ""), 1);
  EXPECT_TRUE(bookmarks::SortsBefore("/abc", "/ABD"));
  EXPECT_FALSE(bookmarks::SortsBefore("/ABD", "/abc"));
  EXPECT_FALSE(bookmarks::SortsBefore("/same", "/same"));
}

TEST(CopyRules, PathsJoinWithOneDelimiterAndFullPathsStay) {
  EXPECT_EQ(copying::JoinPath("/tmp/t", "a.txt"), "/tmp/t/a.txt");
  EXPECT_EQ(copying::JoinPath("/tmp/t/", "a.txt"), "/tmp/t/a.txt");
  EXPECT_EQ(copying::JoinPath("/", "a.txt"), "/a.txt");
  EXPECT_EQ(platform::BaseName("/home/ann/a b.txt"), "a b.txt");
  EXPECT_EQ(platform::BaseName("plain"), "plain");
  EXPECT_EQ(platform::BaseName("/home/ann/"), "");
  EXPECT_EQ(copying::SourcePath("/home/ann/", "a.txt"), "/home/ann/a.txt");
  EXPECT_EQ(copying::SourcePath("", "/found/elsewhere.txt"), "/found/elsewhere.txt");
}

TEST(CopyRules, ProgressTextsCountFilesAndBytes) {
  EXPECT_EQ(copying::ProgressText(0, 3, 0, 500), "0 of 3 files, 0 bytes of 500 bytes");
  EXPECT_EQ(copying::ProgressText(2, 10, 1536, 3 << 20), "2 of 10 files, 1.5 KB of 3.0 MB");
  EXPECT_EQ(copying::FailuresText({"> Error: a", "> Warning: b"}, 5),
            "2 of 5 files were not copied:\n> Error: a\n> Warning: b");
  EXPECT_EQ(copying::FailuresText({"> Error: a"}, 1), "1 of 1 file was not copied:\n> Error: a");
  EXPECT_EQ(copying::ProgressText(1, 1, std::int64_t{5} << 40, std::int64_t{5} << 40),
            "1 of 1 files, 5.0 TB of 5.0 TB");
  EXPECT_EQ(copying::Permille(0, 100), 0);
  EXPECT_EQ(copying::Permille(50, 100), 500);
  EXPECT_EQ(copying::Permille(100, 100), 1000);
  EXPECT_EQ(copying::Permille(0, 0), 1000);
  EXPECT_EQ(copying::Permille(std::int64_t{3} << 40, std::int64_t{4} << 40), 750);
}

}  // namespace
