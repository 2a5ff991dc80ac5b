#include "platform/append_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(AppendFile, CreatesTheFileAndAddsEachPieceAtTheEnd) {
  TempDir dir;
  const std::string path = dir.Path() + "/journal";
  {
    AppendFile file(path);
    ASSERT_TRUE(file.is_open());
    EXPECT_TRUE(file.Append("one\r\n"));
    // What was appended is in the file at once, before the file is closed.
    EXPECT_EQ(dir.Read("journal"), "one\r\n");
  }
  AppendFile again(path);
  EXPECT_TRUE(again.Append("two\r\n"));
  EXPECT_EQ(dir.Read("journal"), "one\r\ntwo\r\n");

  AppendFile nowhere(dir.Path() + "/missing/journal");
  EXPECT_FALSE(nowhere.is_open());
  EXPECT_FALSE(nowhere.Append("x"));
}

TEST(AppendFile, ALastPieceCutShortGoesBeforeTheNextLine) {
  TempDir dir;
  const std::string path = dir.Path() + "/history";
  const std::string long_cut(200000, 'x');  // beyond one block read back
  struct Case {
    std::string before, after;
  };
  for (const Case& c :
       {Case{"", "n\r\n"}, Case{"a\r\n", "a\r\nn\r\n"}, Case{"a\r\nb\tcut", "a\r\nn\r\n"},
        Case{"cut", "n\r\n"}, Case{"a\n" + long_cut, "a\nn\r\n"}, Case{"a\r", "a\rn\r\n"}}) {
    dir.CreateFile("history", c.before);
    AppendFile file(path);
    ASSERT_TRUE(file.LockWholeLines());
    ASSERT_TRUE(file.Append("n\r\n"));
    EXPECT_EQ(file.Size(), static_cast<std::int64_t>(c.after.size()));
    EXPECT_EQ(dir.Read("history"), c.after) << c.before.substr(0, 20);
  }
}

TEST(AppendFile, AnEntryKeepsItsIdentityWhenRenamedAndOthersDiffer) {
  TempDir dir;
  const std::string a = dir.CreateFile("a", "1");
  const std::string b = dir.CreateFile("b", "1");
  const auto id_a = GetEntryId(a);
  ASSERT_TRUE(id_a);
  EXPECT_NE(GetEntryId(b), id_a);
  ASSERT_EQ(std::rename(a.c_str(), (dir.Path() + "/c").c_str()), 0);
  EXPECT_EQ(GetEntryId(dir.Path() + "/c"), id_a);
  EXPECT_FALSE(GetEntryId(a));
}

}  // namespace
}  // namespace platform
