// The options written on closing and the language files the editor reads and saves.

#include <gtest/gtest.h>

#include "config/language_rules.h"
#include "config/options_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(OptionsRules, EveryValueIsWrittenAndOtherLinesStay) {
  TempDir dir;
  dir.CreateFile(
      "config.ini",
      "; kept comment\r\n[interface]\r\nbgcr=1\r\nDirTree=1\r\n[Lang]\r\nFile=Old.ini\r\n"
      "[fsys]\r\nLastDir=/home/\r\n");
  const config::Settings settings(dir.Path() + "/config.ini");
  config::OptionValues values;
  values.background = {10, 20, 30};
  values.text = {40, 50, 60};
  values.font = "DejaVu Sans";
  values.fsize = "1x";  // as typed
  values.bold = true;
  values.ondel = false;
  values.logowaid = "2000";
  config::WriteOptions(settings, values);

  namespace k = config::keys;
  EXPECT_EQ(settings.Read(k::kBgcr), "10");
  EXPECT_EQ(settings.Read(k::kBgcb), "30");
  EXPECT_EQ(settings.Read(k::kTtcg), "50");
  EXPECT_EQ(settings.Read(k::kFont), "DejaVu Sans");
  EXPECT_EQ(settings.Read(config::TextKey{"interface", "fsize", ""}), "1x");
  EXPECT_EQ(settings.Read(k::kFsize), 8);  // no number: the reader's default
  EXPECT_TRUE(settings.ReadFlag(k::kFontb));
  EXPECT_FALSE(settings.ReadFlag(k::kFonti));
  EXPECT_FALSE(settings.ReadFlag(k::kOndel));
  EXPECT_TRUE(settings.ReadFlag(k::kOnexit));
  EXPECT_EQ(settings.Read(k::kLogowaid), 2000);
  EXPECT_TRUE(settings.ReadFlag(k::kOncnclr));
  // No language chosen: the file named before stays.
  EXPECT_EQ(settings.Read(k::kLangFile), "Old.ini");
  const std::string text = dir.Read("config.ini");
  EXPECT_EQ(text.rfind("; kept comment\r\n[interface]\r\nbgcr=10\r\nDirTree=1\r\n", 0), 0u);
  EXPECT_NE(text.find("LastDir=/home/"), std::string::npos);

  values.language_file = "English.ini";
  config::WriteOptions(settings, values);
  EXPECT_EQ(settings.Read(k::kLangFile), "English.ini");
}

TEST(OptionsRules, ListLinesAndFavouritePrograms) {
  EXPECT_EQ(config::LanguageListLine("English", "English.ini"), "English [English.ini]");
  EXPECT_TRUE(config::IsFavouriteProgram("/usr/bin/gedit", true));
  EXPECT_TRUE(config::IsFavouriteProgram("/usr/share/applications/gedit.desktop", false));
  EXPECT_TRUE(config::IsFavouriteProgram("/x/App.DESKTOP", false));
  EXPECT_FALSE(config::IsFavouriteProgram("/x/notes.txt", false));
  EXPECT_FALSE(config::IsFavouriteProgram("/x/desktop", false));
}

TEST(LanguageFiles, AMissingFileGivesTheEditorsDefaults) {
  TempDir dir;
  const config::LanguageFileTexts texts = config::ReadLanguageFile(dir.Path() + "/none.ini");
  ASSERT_EQ(texts.entries.size(), 100u);
  EXPECT_EQ(texts.entries.front(), "???");
  EXPECT_EQ(texts.entries.back(), "???");
  EXPECT_EQ(texts.author, "Unnamed");
  EXPECT_EQ(texts.name, "Language");
}

TEST(LanguageFiles, SavingReplacesKeysInPlaceAndKeepsEverythingElse) {
  TempDir dir;
  std::string original =
      "; translated by hand\r\n[info]\r\nname=Old\r\ncomment=keep me\r\n[LanFile]\r\n";
  for (int n = 1; n <= 101; ++n) original += std::to_string(n) + "=T" + std::to_string(n) + "\r\n";
  original += "[extra]\r\nx=1\r\n";
  const std::string path = dir.CreateFile("Lang/Mine.ini", original);

  config::LanguageFileTexts texts = config::ReadLanguageFile(path);
  EXPECT_EQ(texts.entries[4], "T5");
  EXPECT_EQ(texts.author, "Unnamed");
  EXPECT_EQ(texts.name, "Old");
  texts.entries[4] = "Five";
  texts.author = "Ann";
  texts.date = "01/02/2026";
  config::WriteLanguageFile(path, texts);

  const std::string saved = dir.Read("Lang/Mine.ini");
  EXPECT_EQ(saved.rfind("; translated by hand\r\n[info]\r\nname=Old\r\ncomment=keep me\r\n", 0),
            0u);
  EXPECT_NE(saved.find("\r\n4=T4\r\n5=Five\r\n6=T6\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n101=T101\r\n[extra]\r\nx=1\r\n"), std::string::npos);
  EXPECT_NE(saved.find("author=Ann"), std::string::npos);
  EXPECT_NE(saved.find("date=01/02/2026"), std::string::npos);

  // The file loads back with every entry.
  config::LanguageTable table;
  table.Load(path);
  EXPECT_EQ(table.Entry(5), "Five");
  EXPECT_EQ(table.Entry(100), "T100");
  EXPECT_EQ(table.Entry(101), "T101");
}

TEST(LanguageFiles, ANewFileHoldsExactlyTheEditedKeys) {
  TempDir dir;
  dir.CreateDir("Lang");
  config::LanguageFileTexts texts;
  texts.entries.assign(100, "");
  texts.entries[0] = "first line\n[info]\n2=second line";
  config::WriteLanguageFile(dir.Path() + "/Lang/new.ini", texts);
  config::LanguageTable table;
  table.Load(dir.Path() + "/Lang/new.ini");
  // A line break never starts a line of its own in the file: no key or section can slip in.
  EXPECT_EQ(table.Entry(1).rfind("first line", 0), 0u);
  EXPECT_EQ(table.Entry(2), "");  // saved empty, not the default text
  EXPECT_EQ(table.Entry(101), "string_101");

  // A missing directory is a write that fails, with the path in the message.
  try {
    config::WriteLanguageFile(dir.Path() + "/NoLang/x.ini", texts);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.Path() + "/NoLang/x.ini");
  }
}

}  // namespace
