// The file search over a real directory tree: paths, the "*.*" mask, letter case, refused
// masks and stopping.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tools/search_rules.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class SearchFilesTest : public ::testing::Test {
 protected:
  SearchFilesTest() {
    dir.CreateFile("a.txt");
    dir.CreateFile("B.Txt");
    dir.CreateFile("README");
    dir.CreateFile(".hidden.txt");
    dir.CreateFile("sub/c.txt");
    dir.CreateFile("sub/d.log");
    dir.CreateFile("sub/deeper/e.TXT");
    dir.CreateDir("dir.txt");  // directories are never found
  }
  TempDir dir;
};

TEST_F(SearchFilesTest, FindsByNameWithoutRegardToCaseAsFullPaths) {
  std::vector<std::string> found;
  const auto outcome = tools::SearchFiles(dir.Path(), "*.TXT", found);
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.skipped, 0u);
  const std::string s = dir.Slash();
  EXPECT_EQ(Sorted(found), Sorted({s + "a.txt", s + "B.Txt", s + ".hidden.txt", s + "sub/c.txt",
                                   s + "sub/deeper/e.TXT"}));
  // Level by level: the deepest file comes last.
  EXPECT_EQ(found.back(), s + "sub/deeper/e.TXT");

  // A start directory typed with its delimiter gets no second one.
  std::vector<std::string> again;
  tools::SearchFiles(dir.Slash(), "*.TXT", again);
  EXPECT_EQ(again, found);
}

TEST_F(SearchFilesTest, EveryFileMaskFindsNamesWithoutADot) {
  std::vector<std::string> all, star;
  tools::SearchFiles(dir.Path(), "*.*", all);
  tools::SearchFiles(dir.Path(), "*", star);
  EXPECT_EQ(all.size(), 7u);
  EXPECT_NE(std::find(all.begin(), all.end(), dir.Slash() + "README"), all.end());
  EXPECT_EQ(Sorted(star), Sorted(all));
  // Only the name is matched, never the directory part.
  std::vector<std::string> sub;
  tools::SearchFiles(dir.Path(), "sub*", sub);
  EXPECT_TRUE(sub.empty());
}

TEST_F(SearchFilesTest, RefusedMaskOrNoStartSearchesNothing) {
  std::vector<std::string> found{"kept"};
  EXPECT_NE(tools::SearchFiles(dir.Path(), "[a-", found).error, "");
  EXPECT_NE(tools::SearchFiles(dir.Path(), "sub/*.txt", found).error, "");
  EXPECT_NE(tools::SearchFiles("", "*.*", found).error, "");
  EXPECT_EQ(found, std::vector<std::string>{"kept"});
}

TEST_F(SearchFilesTest, StoppingKeepsWhatWasFound) {
  std::vector<std::string> found;
  int calls = 0;
  const auto outcome =
      tools::SearchFiles(dir.Path(), "*.*", found, [&](std::string_view) { return ++calls < 4; });
  EXPECT_TRUE(outcome.stopped);
  EXPECT_FALSE(found.empty());
  EXPECT_LT(found.size(), 7u);
}

TEST_F(SearchFilesTest, NamesThatAreNotUtf8AreFoundAsTheirBytes) {
  const std::string name = "bad\xFF\xFE.txt";
  dir.CreateFile("sub/" + name);
  std::vector<std::string> found;
  tools::SearchFiles(dir.Path(), "bad*", found);
  EXPECT_EQ(found, std::vector<std::string>{dir.Slash() + "sub/" + name});
}

// Makes `depth` nested directories "d" below `top`, with `deepest.txt` in the last, one level at a
// time through directory handles: the whole path is far longer than the system takes at once.
void MakeDeepTree(const std::string& top, int depth) {
  int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int level = 0; level < depth; ++level) {
    ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
    const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
  }
  const int file = openat(fd, "deepest.txt", O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(file, 0);
  close(file);
  close(fd);
}

// Removes what MakeDeepTree made, from the top: each level's "d" is moved up in place of its
// parent, so no path ever grows long.
void RemoveDeepTree(const std::string& top) {
  const std::string d = top + "/d", below = top + "/d/d", moved = top + "/up";
  while (access(d.c_str(), F_OK) == 0) {
    unlink((d + "/deepest.txt").c_str());
    if (access(below.c_str(), F_OK) == 0) rename(below.c_str(), moved.c_str());
    rmdir(d.c_str());
    rename(moved.c_str(), d.c_str());
  }
}

TEST(SearchFiles, DepthIsNoLimit) {
  TempDir dir;
  constexpr int kDepth = 3000;
  MakeDeepTree(dir.Path(), kDepth);
  std::string expected = dir.Slash();
  for (int level = 0; level < kDepth; ++level) expected += "d/";
  expected += "deepest.txt";
  for (const unsigned threads : {1u, 2u}) {
    std::vector<std::string> found;
    const auto outcome = tools::SearchFiles(dir.Path(), "deepest.*", found, {}, threads);
    EXPECT_EQ(outcome.skipped, 0u) << threads << " threads";
    EXPECT_EQ(found, std::vector<std::string>{expected}) << threads << " threads";
  }
  RemoveDeepTree(dir.Path());
}

}  // namespace

TEST(SearchFiles, EachDirectorysFilesInTheFileListsNameOrder) {
  TempDir dir;
  dir.CreateDir("sub");
  for (const char* name : {"f10.txt", "F2.txt", "a.txt", "sub/z1.txt", "sub/Z0.txt"}) {
    dir.CreateFile(name);
  }
  std::vector<std::string> found;
  tools::SearchFiles(dir.Slash(), "*.*", found);
  const std::string top = dir.Slash();
  EXPECT_EQ(found, (std::vector<std::string>{top + "a.txt", top + "F2.txt", top + "f10.txt",
                                             top + "sub/Z0.txt", top + "sub/z1.txt"}));
}
