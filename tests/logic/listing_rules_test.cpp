// Listing a directory into the file list, and walking up the path.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/entry_order_rules.h"
#include "app/listing_rules.h"
#include "console/console_text_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(ParentPath, RemovesTheLastDirectoryOnly) {
  const struct {
    const char* path;
    const char* parent;
  } cases[] = {
      {"/home/ann/Docs/Old/", "/home/ann/Docs/"},
      {"/home/", "/"},
      {"/", "/"},
      {"/home/ann", "/home/ann"},  // no final delimiter: unchanged
      {"Docs/", "Docs/"},          // no other delimiter: unchanged rather than empty
      {"", ""},
      {"a/b/", "a/"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::ParentPath(c.path), c.parent) << c.path;
}

TEST(TreeDirToPath, AddsTheDelimiterExceptAtTheRoot) {
  EXPECT_EQ(app::TreeDirToPath("/home/ann"), "/home/ann/");
  EXPECT_EQ(app::TreeDirToPath("/"), "/");
}

TEST(SearchResultsPath, IsRecognisedInAnyCase) {
  EXPECT_TRUE(app::IsSearchResultsPath("BW:SearchRes"));
  EXPECT_TRUE(app::IsSearchResultsPath("bw:searchres"));
  EXPECT_FALSE(app::IsSearchResultsPath("bw:searchres/"));
  EXPECT_FALSE(app::IsSearchResultsPath(" BW:SEARCHRES"));
}

TEST(FillFileList, DirectoriesFirstThenFilesWithTheMaskOnBoth) {
  TempDir dir;
  dir.CreateFile("b.txt");
  dir.CreateFile("c.log");
  dir.CreateFile("noext");
  dir.CreateFile(".hidden.txt");
  dir.CreateDir("sub.txt");
  dir.CreateDir("plain");
  std::vector<std::string> entries{"kept"};
  EXPECT_EQ(app::FillFileList(dir.Slash(), "*.*", entries), 6u);
  ASSERT_EQ(entries.size(), 7u);
  EXPECT_EQ(entries[0], "kept");  // the caller clears; the fill only appends
  std::vector<std::string> dirs(entries.begin() + 1, entries.begin() + 4);
  std::sort(dirs.begin(), dirs.end());
  EXPECT_EQ(dirs, (std::vector<std::string>{"../", "plain/", "sub.txt/"}));
  std::vector<std::string> files(entries.begin() + 4, entries.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"b.txt", "c.log", "noext"}));

  entries.clear();
  EXPECT_EQ(app::FillFileList(dir.Slash(), "*.TXT", entries), 2u);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"b.txt", "sub.txt/"}));

  entries.clear();
  EXPECT_EQ(app::FillFileList(dir.Slash() + "missing/", "*.*", entries), 0u);
  EXPECT_TRUE(entries.empty());
}

TEST(FillFileList, ALongDirectoryComesWholeSortedOrNot) {
  // Long enough to be sorted in pieces while it is read.
  TempDir dir;
  std::vector<std::string> expected = {"../"};
  for (int i = 0; i < 40'000; ++i) expected.push_back("f" + std::to_string(i));
  for (std::size_t i = 1; i < expected.size(); ++i) dir.CreateFile(expected[i]);
  std::sort(expected.begin() + 1, expected.end(),
            [](const std::string& a, const std::string& b) { return app::CompareNames(a, b) < 0; });
  std::vector<std::string> sorted;
  EXPECT_EQ(app::FillFileList(dir.Slash(), "*.*", sorted, {}, app::EntryOrder({}, false)),
            expected.size());
  EXPECT_EQ(sorted, expected);
  std::vector<std::string> unsorted;
  EXPECT_EQ(app::ListUnsorted(dir.Slash(), "*.*", unsorted), expected.size());
  std::sort(unsorted.begin() + 1, unsorted.end(),
            [](const std::string& a, const std::string& b) { return app::CompareNames(a, b) < 0; });
  EXPECT_EQ(unsorted, expected);
}

TEST(FillFileList, APathWithoutItsDelimiterListsMatchingNamesAsFiles) {
  TempDir dir;
  dir.CreateDir("Docs");
  dir.CreateDir("Docs2");
  dir.CreateFile("Docs/inner");
  std::vector<std::string> entries;
  // "<dir>/Docs" + "*.*" looks in <dir>/ for names beginning with Docs; <dir>/DocsDocs is no
  // directory, so every match is listed as a file.
  EXPECT_EQ(app::FillFileList(dir.Path() + "/Docs", "*.*", entries), 2u);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"Docs", "Docs2"}));
}

TEST(ConsoleText, PrintsOnTopAppendsBelowAndClears) {
  console::ConsoleText text;
  text.PrintLine("A");
  text.PrintLine("B");
  text.AppendLine("file 1");
  text.AppendLine("file 2");
  text.PrintLine("C");
  EXPECT_EQ(text.Lines(), (std::vector<std::string>{"C", "B", "A", "file 1", "file 2"}));
  EXPECT_EQ(text.Line(3), "file 1");
  text.SetLines({"x", "y"});
  text.PrintLine("top");
  EXPECT_EQ(text.Lines(), (std::vector<std::string>{"top", "x", "y"}));
  text.Clear();
  EXPECT_EQ(text.size(), 0u);
}

}  // namespace
