#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/test_helpers.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

TEST(Profile, NamesMatchWithoutLetterCaseAndTheFirstMatchWins) {
  TempDir dir;
  std::string ini = dir.CreateFile("config.ini",
                                   "[FSys]\r\nLastDir=/first\r\nLASTDIR=/second\r\n"
                                   "[fsys]\r\nLastdir=/third\r\nOnlyHere=1\r\n");
  EXPECT_EQ(ProfileReadString(ini, "fsys", "Lastdir", "def"), "/first");
  EXPECT_EQ(ProfileReadString(ini, "FSYS", "lastdir", "def"), "/first");
  // Keys of a later section with the same name are not seen.
  EXPECT_EQ(ProfileReadString(ini, "fsys", "OnlyHere", "def"), "def");
}

TEST(Profile, SpacesAndOnePairOfQuotesAreDropped) {
  struct Case {
    const char* stored;
    const char* read;
  } cases[] = {
      {"  plain  ", "plain"},
      {"\t tabbed \t", "tabbed"},
      {"\" spaced \"", " spaced "},
      {"  'single'  ", "single"},
      {"\"\"twice\"\"", "\"twice\""},
      {"\"unbalanced", "\"unbalanced"},
      {"'mixed\"", "'mixed\""},
      {"\"", "\""},
      {"\"\"", ""},
      {"", ""},
      {"inner \"quotes\" stay", "inner \"quotes\" stay"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::string ini = dir.CreateFile("q.ini", std::string("[s]\r\nk=") + c.stored + "\r\n");
    EXPECT_EQ(ProfileReadString(ini, "s", "k", "default"), c.read) << c.stored;
  }
}

TEST(Profile, ReadReturnsAtMost2047Bytes) {
  TempDir dir;
  std::string value(2100, 'x');
  for (std::size_t i = 0; i < value.size(); ++i) value[i] = static_cast<char>('a' + i % 26);
  std::string ini = dir.CreateFile("long.ini", "[s]\r\nk=" + value + "\r\nq=\"" + value + "\"\r\n");
  EXPECT_EQ(ProfileReadString(ini, "s", "k", ""), value.substr(0, 2047));
  // The quotes go first, then the value is cut.
  EXPECT_EQ(ProfileReadString(ini, "s", "q", ""), value.substr(0, 2047));
}

TEST(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  std::string ini = dir.CreateFile("d.ini", "[a]\r\nk=1\r\nempty=\r\n");
  EXPECT_EQ(ProfileReadString(dir.Slash() + "none.ini", "a", "k", "def"), "def");
  EXPECT_EQ(ProfileReadString(ini, "b", "k", "def"), "def");
  EXPECT_EQ(ProfileReadString(ini, "a", "x", "def"), "def");
  // A key that is present with nothing after "=" is an empty text, not the default.
  EXPECT_EQ(ProfileReadString(ini, "a", "empty", "def"), "");
  EXPECT_EQ(ProfileReadInt(ini, "a", "missing", 77), 77);
  EXPECT_TRUE(ProfileReadFlag(ini, "b", "k", true));
  // A directory in place of the file reads as a missing file.
  EXPECT_EQ(ProfileReadString(dir.Path(), "a", "k", "def"), "def");
}

TEST(Profile, ReadsEveryKindOfLineEnd) {
  TempDir dir;
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    std::string e = eol;
    std::string ini = dir.CreateFile("e.ini", "[a]" + e + "k=1" + e + "[b]" + e + "k=2" + e);
    EXPECT_EQ(ProfileReadString(ini, "a", "k", ""), "1");
    EXPECT_EQ(ProfileReadString(ini, "b", "k", ""), "2");
  }
}

TEST(Profile, WriteReplacesTheValueInPlaceAndKeepsEveryOtherLine) {
  TempDir dir;
  std::string ini = dir.CreateFile("w.ini",
                                   "; settings\n"
                                   "[interface]\n"
                                   "bgcr=255\n"
                                   "  Font = Arial\n"
                                   "odd line without equals\n"
                                   "\n"
                                   "[FSys]\n"
                                   "LastDir=/old\n");
  ProfileWriteString(ini, "INTERFACE", "font", "Courier New");
  ProfileWriteString(ini, "fsys", "lastdir", "/new/");
  EXPECT_EQ(dir.Read("w.ini"),
            "; settings\r\n"
            "[interface]\r\n"
            "bgcr=255\r\n"
            "  Font =Courier New\r\n"
            "odd line without equals\r\n"
            "\r\n"
            "[FSys]\r\n"
            "LastDir=/new/\r\n");
  EXPECT_EQ(ProfileReadString(ini, "interface", "Font", ""), "Courier New");
  // Writing what the file holds already leaves the file itself alone (no new file put in place).
  struct stat before {
  }, after{};
  ASSERT_EQ(stat(ini.c_str(), &before), 0);
  ProfileWriteStrings(ini, {{"fsys", "LastDir", "/new/"}, {"interface", "Font", "Courier New"}});
  ASSERT_EQ(stat(ini.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  ProfileWriteString(ini, "fsys", "LastDir", "/newer/");
  ASSERT_EQ(stat(ini.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(ProfileReadString(ini, "fsys", "LastDir", ""), "/newer/");
}

TEST(Profile, WriteAppendsMissingKeyToItsSectionAndMissingSectionToTheEnd) {
  TempDir dir;
  std::string ini = dir.CreateFile("a.ini", "[one]\r\na=1\r\n\r\n[two]\r\nb=2\r\n");
  ProfileWriteInt(ini, "ONE", "c", 3);
  ProfileWriteFlag(ini, "three", "d", true);
  EXPECT_EQ(dir.Read("a.ini"), "[one]\r\na=1\r\nc=3\r\n\r\n[two]\r\nb=2\r\n[three]\r\nd=1\r\n");
  EXPECT_EQ(ProfileReadInt(ini, "one", "c", 0), 3);
  EXPECT_TRUE(ProfileReadFlag(ini, "three", "d", false));
}

TEST(Profile, WriteCreatesTheFileAndKeepsValuesOnOneLine) {
  TempDir dir;
  std::string ini = dir.Slash() + "new.ini";
  ProfileWriteString(ini, "s", "k", "v");
  EXPECT_EQ(dir.Read("new.ini"), "[s]\r\nk=v\r\n");
  // A line break in a value must not add lines (or a section) to the file.
  ProfileWriteString(ini, "s", "k", "x\r\n[evil]\ny=1");
  EXPECT_EQ(dir.Read("new.ini"), "[s]\r\nk=x  [evil] y=1\r\n");
  EXPECT_EQ(ProfileReadString(ini, "evil", "y", "absent"), "absent");
}

TEST(Profile, FailedWriteRaisesUnableToWriteAndLeavesTheOldFile) {
  TempDir dir;
  std::string in_missing_dir = dir.Slash() + "no/such/config.ini";
  try {
    ProfileWriteString(in_missing_dir, "s", "k", "v");
    FAIL() << "no error raised";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + in_missing_dir);
  }
  EXPECT_FALSE(dir.Exists("no"));

  // A directory where the file should be is not replaced.
  std::string as_dir = dir.CreateDir("taken.ini");
  EXPECT_THROW(ProfileWriteString(as_dir, "s", "k", "v"), ProfileWriteError);
  EXPECT_TRUE(dir.Exists("taken.ini"));

  // A full file system (a file size limit here, which binds root too) keeps the old file.
  std::string ini = dir.CreateFile("full.ini", "[s]\r\nk=old\r\n");
  {
    platform_test::FileSizeLimit limit(64);
    EXPECT_THROW(ProfileWriteString(ini, "s", "k", std::string(500, 'n')), ProfileWriteError);
  }
  EXPECT_EQ(dir.Read("full.ini"), "[s]\r\nk=old\r\n");
}

TEST(Profile, ReadOnlyFileOrDirectoryRefusesWrites) {
  // Root passes every permission check, so the cases run as an unprivileged user.
  platform_test::RunUnprivileged([] {
    TempDir dir;
    std::string ini = dir.CreateFile("full.ini", "[s]\r\nk=old\r\n");
    chmod(ini.c_str(), 0444);
    EXPECT_THROW(ProfileWriteString(ini, "s", "k", "new"), ProfileWriteError);
    chmod(ini.c_str(), 0644);
    chmod(dir.Path().c_str(), 0555);
    EXPECT_THROW(ProfileWriteString(ini, "s", "k", "new"), ProfileWriteError);
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(dir.Read("full.ini"), "[s]\r\nk=old\r\n");
  });
}

TEST(Profile, IntegersAreDecimalOrHexadecimal) {
  struct Case {
    const char* text;
    std::optional<long long> value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"-17", -17},
      {"+8", 8},
      {"  12  ", 12},
      {"0x1F", 31},
      {"0XfF", 255},
      {"$ff", 255},
      {"$7FFFFFFFFFFFFFFF", 9223372036854775807LL},
      {"9223372036854775807", 9223372036854775807LL},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"12abc", std::nullopt},
      {"1 2", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"0xG1", std::nullopt},
      {"-0x10", std::nullopt},
      {"--1", std::nullopt},
      {"+-1", std::nullopt},
      {"1.5", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$10000000000000000", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;

  TempDir dir;
  std::string ini = dir.CreateFile("i.ini", "[n]\nhex=$10\nbad=ten\nzero=0\nflag=0x2\n");
  EXPECT_EQ(ProfileReadInt(ini, "n", "hex", 0), 16);
  EXPECT_EQ(ProfileReadInt(ini, "n", "bad", 5), 5);
  EXPECT_FALSE(ProfileReadFlag(ini, "n", "zero", true));
  EXPECT_TRUE(ProfileReadFlag(ini, "n", "flag", false));
  EXPECT_TRUE(ProfileReadFlag(ini, "n", "bad", true));
  ProfileWriteInt(ini, "n", "neg", -300);
  EXPECT_EQ(ProfileReadInt(ini, "n", "neg", 0), -300);
}

TEST(Profile, GarbageFilesNeitherCrashNorHang) {
  TempDir dir;
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131) % 256);
  std::string with_nul = std::string("[s]\0x\r\nk=a\0b\r\n", 14);
  std::string long_line = "[s]\nk=" + std::string(10 * 1024 * 1024, 'z');
  std::string no_sections = "k=1\nj=2\n=\n[\n]\n[]\n";
  std::string cases[] = {binary, with_nul, long_line, no_sections};
  for (const std::string& contents : cases) {
    std::string ini = dir.CreateFile("g.ini", contents);
    EXPECT_EQ(ProfileReadString(ini, "none", "k", "def"), "def");
    ProfileReadString(ini, "s", "k", "def");
    ProfileWriteString(ini, "added", "key", "v");
    EXPECT_EQ(ProfileReadString(ini, "added", "key", ""), "v");
  }
  std::string ini = dir.CreateFile("g.ini", with_nul);
  EXPECT_EQ(ProfileReadString(ini, "s", "k", ""), std::string("a\0b", 3));
  ini = dir.CreateFile("g.ini", long_line);
  EXPECT_EQ(ProfileReadString(ini, "s", "k", ""), std::string(2047, 'z'));
  ini = dir.CreateFile("g.ini", no_sections);
  EXPECT_EQ(ProfileReadString(ini, "", "k", "def"), "def");
  // Bytes that are no text survive a write to another key.
  ini = dir.CreateFile("g.ini", "[s]\r\nk=\xff\xfe\x01\r\n");
  ProfileWriteString(ini, "s", "other", "1");
  EXPECT_EQ(dir.Read("g.ini"), "[s]\r\nk=\xff\xfe\x01\r\nother=1\r\n");
}

}  // namespace
