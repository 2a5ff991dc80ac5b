// A settings file read once: the same answers as reading key by key, from one reading.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

TEST(ProfileText, AnswersAsTheFileDidWhenRead) {
  TempDir dir;
  const std::string ini = dir.CreateFile(
      "config.ini",
      "loose=before any section\r\n[A]\r\nk=1\r\nK = 'quoted' \r\nn=0x10\r\n[b]\nk=2\rflag=0\n"
      "[a]\r\nk=3\r\nlater=4\r\n");
  const ProfileText text(ini);
  EXPECT_EQ(text.ReadString("a", "K", "def"), "1");        // the first key of a name wins
  EXPECT_EQ(text.ReadString("B", "k", "def"), "2");        // LF and CR line ends alike
  EXPECT_EQ(text.ReadString("a", "later", "def"), "def");  // a repeated section is not seen
  EXPECT_EQ(text.ReadString("", "loose", "def"), "def");
  EXPECT_EQ(text.ReadInt("a", "n", -1), 16);
  EXPECT_EQ(text.ReadInt("a", "k", -1), 1);
  EXPECT_EQ(text.ReadInt("b", "missing", -1), -1);
  EXPECT_FALSE(text.ReadFlag("b", "flag", true));
  EXPECT_TRUE(text.ReadFlag("b", "none", true));
  // Every answer agrees with a read straight from the file.
  for (const char* section : {"a", "A", "b"}) {
    for (const char* key : {"k", "K", "n", "flag", "later", "x"}) {
      EXPECT_EQ(text.ReadString(section, key, "d"), ProfileReadString(ini, section, key, "d"))
          << section << "/" << key;
    }
  }
  // Later changes are not seen by the reading already made.
  ProfileWriteString(ini, "a", "k", "changed");
  EXPECT_EQ(text.ReadString("a", "k", "def"), "1");
  EXPECT_EQ(ProfileText(ini).ReadString("a", "k", "def"), "changed");
}

}  // namespace
