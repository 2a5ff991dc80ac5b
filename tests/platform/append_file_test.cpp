#include "platform/append_file.h"

#include <gtest/gtest.h>

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
