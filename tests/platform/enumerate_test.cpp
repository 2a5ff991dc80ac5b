#include "platform/enumerate.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>

#include "platform/paths.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

std::map<std::string, DirEntry> List(const std::string& pattern, EnumOptions options = {}) {
  std::map<std::string, DirEntry> entries;
  std::size_t count = EnumerateEntries(pattern, options, [&](const DirEntry& e) {
    EXPECT_TRUE(entries.emplace(e.name, e).second) << "reported twice: " << e.name;
  });
  EXPECT_EQ(count, entries.size());
  return entries;
}

std::set<std::string> Names(const std::map<std::string, DirEntry>& entries) {
  std::set<std::string> names;
  for (const auto& [name, entry] : entries) names.insert(name);
  return names;
}

TEST(Enumerate, SplitPatternAtTheLastDelimiter) {
  struct Case {
    const char* pattern;
    const char* dir;
    const char* name;
  } cases[] = {
      {"/home/ann/Docs*.*", "/home/ann/", "Docs*.*"},
      {"/*.*", "/", "*.*"},
      {"*.txt", "", "*.txt"},
      {"/home/ann/", "/home/ann/", ""},
      {"a/b", "a/", "b"},
  };
  for (const Case& c : cases) {
    std::string dir, name;
    SplitPattern(c.pattern, dir, name);
    EXPECT_EQ(dir, c.dir) << c.pattern;
    EXPECT_EQ(name, c.name) << c.pattern;
  }
}

TEST(Enumerate, ListingPatterns) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  } cases[] = {
      {"readme", "*.*", true},
      {".bashrc", "*.*", true},
      {"a.b.c", "*.*", true},
      {"README.TXT", "*.txt", true},
      {"readme.txt", "*.TXT", true},
      {"readme.txt", "*.tx", false},
      {"readme.txt.bak", "*.txt", false},
      {"Docs", "Docs*.*", true},
      {"Docsfile", "docs*.*", true},
      {"Docs.old", "Docs*.*", true},
      {"MyDocs", "Docs*.*", false},
      {"a", "?", true},
      {"ab", "?", false},
      {"\xc3\xa9.txt", "?.txt", true},  // one letter, two bytes
      {"ab.txt", "?.txt", false},
      {"abc", "a*c", true},
      {"abcbc", "a*bc", true},
      {"abcbd", "a*bc", false},
      {"x", "*", true},
      {"", "*", true},
      {"name", "", false},
      {"noext", "noext.*", true},
      {"noext", "*xt.*", true},
      {"b.a", "*a.*", false},  // has a dot, so ".*" is not "no extension"
      {"a*b", "a*b", true},
      {"\xff\xfe", "*", true},
      {"\xff\xfe", "\xff?", true},
      {"\xc4\x80", "\xe4\x80", false},  // only ASCII letters ignore case
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchListingPattern(c.name, c.pattern), c.match)
        << "'" << c.name << "' against '" << c.pattern << "'";
  }
}

class EnumerateDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.CreateFile("a.txt", "12345");
    dir_.CreateFile("B.TXT");
    dir_.CreateFile("noext");
    dir_.CreateFile(".hidden");
    dir_.CreateDir("sub");
    dir_.CreateDir(".git");
    ASSERT_EQ(symlink("sub", (dir_.Slash() + "linkdir").c_str()), 0);
    ASSERT_EQ(symlink("a.txt", (dir_.Slash() + "linkfile").c_str()), 0);
    ASSERT_EQ(symlink("gone", (dir_.Slash() + "dangling").c_str()), 0);
  }
  TempDir dir_;
};

TEST_F(EnumerateDir, FilterLeavesHiddenEntriesOut) {
  EXPECT_EQ(Names(List(dir_.Slash() + "*.*")),
            (std::set<std::string>{".", "..", "a.txt", "B.TXT", "noext", "sub", "linkdir",
                                   "linkfile", "dangling"}));
  EnumOptions all;
  all.filter = EntryFilter::kAll;
  auto entries = List(dir_.Slash() + "*", all);
  EXPECT_EQ(entries.size(), 11u);
  EXPECT_TRUE(entries.at(".hidden").hidden);
  EXPECT_TRUE(entries.at(".git").hidden);
  EXPECT_TRUE(entries.at(".git").is_dir);
  EXPECT_FALSE(entries.at(".").hidden);
  EXPECT_FALSE(entries.at("..").hidden);
  EXPECT_FALSE(entries.at("a.txt").hidden);
}

TEST_F(EnumerateDir, PatternsAndLetterCase) {
  EXPECT_EQ(Names(List(dir_.Slash() + "*.txt")), (std::set<std::string>{"a.txt", "B.TXT"}));
  EXPECT_EQ(Names(List(dir_.Slash() + "?.TxT")), (std::set<std::string>{"a.txt", "B.TXT"}));
  EXPECT_EQ(Names(List(dir_.Slash() + "NOEXT.*")), (std::set<std::string>{"noext"}));
  EXPECT_EQ(Names(List(dir_.Slash() + "link*")), (std::set<std::string>{"linkdir", "linkfile"}));
  EXPECT_TRUE(List(dir_.Slash() + "zzz*").empty());
}

TEST_F(EnumerateDir, TypesFollowLinksAndDanglingLinksAreFiles) {
  auto entries = List(dir_.Slash() + "*.*");
  EXPECT_TRUE(entries.at("sub").is_dir);
  EXPECT_TRUE(entries.at("linkdir").is_dir);
  EXPECT_TRUE(entries.at(".").is_dir);
  EXPECT_FALSE(entries.at("linkfile").is_dir);
  EXPECT_FALSE(entries.at("dangling").is_dir);
  EXPECT_FALSE(entries.at("a.txt").is_dir);
  // Without details nothing is stat'ed for sizes or times.
  EXPECT_EQ(entries.at("a.txt").size, 0);
  EXPECT_EQ(entries.at("a.txt").mtime, 0);
}

TEST_F(EnumerateDir, DetailsGiveSizeTimeAndReadOnly) {
  std::string file = dir_.Slash() + "a.txt";
  const struct timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  ASSERT_EQ(chmod((dir_.Slash() + "B.TXT").c_str(), 0444), 0);
  EnumOptions details;
  details.details = true;
  auto entries = List(dir_.Slash() + "*.*", details);
  EXPECT_EQ(entries.at("a.txt").size, 5);
  EXPECT_EQ(entries.at("a.txt").mtime, 1234567890);
  EXPECT_FALSE(entries.at("a.txt").read_only);
  EXPECT_TRUE(entries.at("B.TXT").read_only);
  EXPECT_EQ(entries.at("linkfile").size, 5);
  EXPECT_TRUE(entries.at("linkdir").is_dir);
  EXPECT_FALSE(entries.at("dangling").is_dir);
}

TEST_F(EnumerateDir, NamesThatAreNotUtf8AreKeptAsBytes) {
  std::string raw = "bad\xff\xfe name.bin";
  dir_.CreateFile(raw, "x");
  auto entries = List(dir_.Slash() + "bad*");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->first, raw);
  struct stat st;
  EXPECT_EQ(stat((dir_.Slash() + entries.begin()->first).c_str(), &st), 0);
}

TEST_F(EnumerateDir, PatternWithoutDirectoryUsesTheWorkingDirectory) {
  std::string before = WorkingDir();
  ASSERT_TRUE(SetWorkingDir(dir_.Path()));
  auto names = Names(List("*.txt"));
  ASSERT_TRUE(SetWorkingDir(before));
  EXPECT_EQ(names, (std::set<std::string>{"a.txt", "B.TXT"}));
}

TEST(Enumerate, RootHasNoParentEntry) {
  EnumOptions all;
  all.filter = EntryFilter::kAll;
  auto entries = List("/*.*", all);
  EXPECT_EQ(entries.count(".."), 0u);
  EXPECT_TRUE(entries.count("tmp") || entries.count("usr"));
  EXPECT_EQ(List("//*", all).count(".."), 0u);
}

TEST(Enumerate, UnreadableDirectoryYieldsNothing) {
  TempDir dir;
  std::string file = dir.CreateFile("plain", "x");
  EXPECT_TRUE(List(dir.Slash() + "missing/*.*").empty());
  EXPECT_TRUE(List(file + "/*.*").empty());
}

}  // namespace
