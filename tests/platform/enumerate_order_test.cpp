// The order of an enumeration: "." and ".." before everything else, whatever the directory read
// returns first.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/enumerate.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

std::vector<std::string> Order(const std::string& pattern, EnumOptions options = {}) {
  std::vector<std::string> names;
  EnumerateEntries(pattern, options, [&](const DirEntry& e) { names.push_back(e.name); });
  return names;
}

TEST(EnumerateOrder, DotEntriesComeFirstThenTheRestOnce) {
  TempDir dir;
  // Enough entries that the directory read returns "." and ".." somewhere in the middle on
  // hashed directories.
  for (int i = 0; i < 40; ++i) {
    dir.CreateDir("d" + std::to_string(i));
    dir.CreateFile("f" + std::to_string(i));
  }
  dir.CreateFile(".hidden");
  EnumOptions all;
  all.filter = EntryFilter::kAll;
  for (const EnumOptions& options : {EnumOptions{}, all}) {
    const std::vector<std::string> names = Order(dir.Slash() + "*.*", options);
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], ".");
    EXPECT_EQ(names[1], "..");
    EXPECT_EQ(names.size(), options.filter == EntryFilter::kAll ? 83u : 82u);
    EXPECT_EQ(std::count(names.begin(), names.end(), ".."), 1);
  }
  // With details the dot entries are directories with a time like any other.
  EnumOptions details;
  details.details = true;
  std::vector<DirEntry> entries;
  EnumerateEntries(dir.Slash() + "*", details, [&](const DirEntry& e) { entries.push_back(e); });
  ASSERT_GE(entries.size(), 2u);
  EXPECT_TRUE(entries[0].is_dir && entries[1].is_dir);
  EXPECT_GT(entries[1].mtime, 0);
}

TEST(EnumerateOrder, DotEntriesFollowThePatternAndTheRoot) {
  TempDir dir;
  dir.CreateFile("a.txt");
  // A mask that matches neither leaves both out; ".*" matches both.
  EXPECT_EQ(Order(dir.Slash() + "*.txt"), (std::vector<std::string>{"a.txt"}));
  EXPECT_EQ(Order(dir.Slash() + ".*"), (std::vector<std::string>{".", ".."}));
  // The root has no parent entry, but "." still leads.
  const std::vector<std::string> root = Order("/*");
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(root[0], ".");
  EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0);
}

}  // namespace
