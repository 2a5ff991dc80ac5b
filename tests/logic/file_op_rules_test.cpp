// Which files the main window's deletes and renames touch.

#include <gtest/gtest.h>

#include "app/file_op_rules.h"

namespace {

TEST(FileOpRules, EntryPathsAndDirectoryEntries) {
  struct Row {
    const char* base;
    const char* entry;
    const char* path;
  };
  const Row rows[] = {
      {"/home/ann/", "a.txt", "/home/ann/a.txt"},
      {"/home/ann/", "sub/b.txt", "/home/ann/sub/b.txt"},
      // Search results are full paths, whatever names the pseudo-directory.
      {"BW:SEARCHRES", "/x/a.txt", "/x/a.txt"},
      {"bw:SearchRes", "/x/a.txt", "/x/a.txt"},
      {"", "/x/a.txt", "/x/a.txt"},
  };
  for (const Row& row : rows) EXPECT_EQ(app::EntryPath(row.base, row.entry), row.path) << row.entry;

  EXPECT_TRUE(app::IsDirectoryEntry("../"));
  EXPECT_TRUE(app::IsDirectoryEntry("docs/"));
  EXPECT_FALSE(app::IsDirectoryEntry("a.txt"));
  EXPECT_FALSE(app::IsDirectoryEntry("/x/a.txt"));
  EXPECT_FALSE(app::IsDirectoryEntry(""));
}

TEST(FileOpRules, DeletionTakesOnlyFilesAndCountsTheDirectories) {
  const std::vector<std::string> listed = {"../", "docs/", "a.txt", "b.txt", "c.txt"};
  const app::DeletionPlan plan = app::PlanDeletion("/w/", listed, {0, 1, 2, 4, 17, -1});
  EXPECT_EQ(plan.files, (std::vector<std::string>{"/w/a.txt", "/w/c.txt"}));
  EXPECT_EQ(plan.skipped_directories, 2u);

  const std::vector<std::string> found = {"/x/a.txt", "/y/", "/z/b"};
  const app::DeletionPlan search = app::PlanDeletion("", found, {0, 1, 2});
  EXPECT_EQ(search.files, (std::vector<std::string>{"/x/a.txt", "/z/b"}));
  EXPECT_EQ(search.skipped_directories, 1u);
  EXPECT_EQ(app::SkippedDirectoriesLine(2), "> Warning: Directories are not deleted, skipped: 2");
}

TEST(FileOpRules, RenameKeepsTheFileInItsDirectory) {
  EXPECT_EQ(app::RenameTarget("/a/b/f.txt", "g.txt"), "/a/b/g.txt");
  EXPECT_EQ(app::RenameTarget("/a/b/f.txt", "sub/g.txt"), "/a/b/sub/g.txt");
  EXPECT_EQ(app::RenameTarget("f.txt", "g.txt"), "g.txt");
  EXPECT_EQ(app::RenameTarget("/f", "g"), "/g");
}

}  // namespace
