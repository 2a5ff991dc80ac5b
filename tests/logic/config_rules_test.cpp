// Settings keys with their defaults, colour parts and the language string table.

#include <gtest/gtest.h>

#include "config/language_rules.h"
#include "config/settings_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(Settings, DefaultsForAMissingFileAndOneEntryForEverySpelling) {
  TempDir dir;
  const config::Settings settings(dir.Path() + "/config.ini");
  namespace keys = config::keys;
  EXPECT_EQ(settings.Read(keys::kBgcr), "255");
  EXPECT_EQ(settings.Read(keys::kTtcb), "0");
  EXPECT_EQ(settings.Read(keys::kFont), "Arial");
  EXPECT_EQ(settings.Read(keys::kFsize), 8);
  EXPECT_EQ(settings.Read(keys::kLogowaid), 1000);
  EXPECT_TRUE(settings.ReadFlag(keys::kOnexit));
  EXPECT_FALSE(settings.ReadFlag(keys::kDirTree));
  EXPECT_EQ(settings.Read(keys::kLangFile), "Russuan.ini");
  EXPECT_EQ(settings.Read(keys::kLastDir, "/prog/"), "/prog/");
  EXPECT_FALSE(dir.Exists("config.ini"));

  // The scan writes "fsys"/"LastDir", closing writes "FSys"/"LastDir": one entry.
  settings.Write(keys::kLastDir, "/one/");
  settings.Write(config::TextKey{"FSys", "LastDir", ""}, "/two/");
  EXPECT_EQ(settings.Read(config::TextKey{"fsys", "Lastdir", ""}), "/two/");
  settings.WriteFlag(keys::kBmatframe, true);
  settings.Write(keys::kFsize, 12);
  EXPECT_TRUE(settings.ReadFlag(keys::kBmatframe));
  EXPECT_EQ(settings.Read(keys::kFsize), 12);
  EXPECT_EQ(dir.Read("config.ini"),
            "[fsys]\r\nLastDir=/two/\r\n[interface]\r\nbmatframe=1\r\nfsize=12\r\n");
}

TEST(ColourPart, KeepsTheLowEightBitsOfWholeNumbers) {
  EXPECT_EQ(config::ColourPart("255"), 255);
  EXPECT_EQ(config::ColourPart("256"), 0);
  EXPECT_EQ(config::ColourPart("511"), 255);
  EXPECT_EQ(config::ColourPart("-1"), 255);
  EXPECT_EQ(config::ColourPart("+7"), 7);
  // 10^22 = 2^22 * 5^22, so its low eight bits are zero; a number this long must not fail.
  EXPECT_EQ(config::ColourPart("10000000000000000000000"), 0);
  EXPECT_EQ(config::ColourPart("10000000000000000000001"), 1);
  for (const char* bad : {"", "abc", "1.5", " 1", "0x10", "-"}) {
    EXPECT_THROW(config::ColourPart(bad), std::invalid_argument) << bad;
  }
  try {
    config::ColourPart("abc");
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(LanguageTable, MissingFileKeysAndLeadingZerosGiveDefaults) {
  TempDir dir;
  config::LanguageTable table;
  EXPECT_EQ(table.Entry(7), "string_7");
  table.Load(dir.Path() + "/missing.ini");
  EXPECT_EQ(table.Entry(101), "string_101");

  const std::string file =
      dir.CreateFile("lang.ini",
                     "[info]\r\nname=x\r\n[LanFile]\r\n1=One\r\n005=Five\r\n2=  padded  \r\n"
                     "3=\"  quoted  \"\r\n4=\r\n100=Last\r\n");
  table.Load(file);
  EXPECT_EQ(table.Entry(1), "One");
  EXPECT_EQ(table.Entry(5), "string_5");
  EXPECT_EQ(table.Entry(2), "padded");
  EXPECT_EQ(table.Entry(3), "  quoted  ");
  EXPECT_EQ(table.Entry(4), "");  // present but empty is not the default
  EXPECT_EQ(table.Entry(100), "Last");
  EXPECT_EQ(table.Entry(101), "string_101");
  EXPECT_EQ(table.Entry(0), "string_0");

  // A file without the section gives the defaults again.
  table.Load(dir.CreateFile("other.ini", "[info]\r\n1=Nope\r\n"));
  EXPECT_EQ(table.Entry(1), "string_1");
}

}  // namespace

TEST(LanguageTable, FirstStartLanguageFollowsTheLocale) {
  // Values in the order LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
  const struct {
    std::vector<std::string> values;
    const char* file;
  } cases[] = {
      {{"", "", "", "en_US.UTF-8"}, "English.ini"},
      {{"", "", "", "ru_RU.UTF-8"}, "Russuan.ini"},
      {{"", "en_GB", "", "ru_RU"}, "English.ini"},     // LC_ALL before LANG
      {{"", "", "ru_RU", "en_US"}, "Russuan.ini"},     // LC_MESSAGES before LANG
      {{"de:en:ru", "", "", "ru_RU"}, "English.ini"},  // first listed language with a file
      {{"", "", "", "C"}, "Russuan.ini"},              // C keeps the default
      {{"", "POSIX", "", "en_US"}, "Russuan.ini"},     // so does POSIX, where it decides
      {{"", "", "", "de_DE.UTF-8"}, "Russuan.ini"},    // no file for the language
      {{"", "", "", ""}, "Russuan.ini"},               // nothing set
  };
  for (const auto& c : cases) {
    EXPECT_EQ(config::LanguageFileForLocale(c.values), c.file) << c.values[0] << "|" << c.values[3];
  }
}
