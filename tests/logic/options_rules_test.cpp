// The options written on closing and the language files the editor reads and saves.

#include <gtest/gtest.h>

#include "config/language_rules.h"
#include "config/options_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(OptionsRules, SizeAndWaitAreWrittenAsTypedAndTheLanguageOnlyWhenChosen) {
  TempDir dir;
  dir.CreateFile("config.ini", "[Lang]\r\nFile=Old.ini\r\n");
  const config::Settings settings(dir.Path() + "/config.ini");
  config::OptionValues values;
  values.fsize = "1x";
  values.logowaid = "soon";
  config::WriteOptions(settings, values);
  namespace k = config::keys;
  EXPECT_EQ(settings.Read(config::TextKey{"interface", "fsize", ""}), "1x");
  EXPECT_EQ(settings.Read(k::kFsize), 8);  // no number: the reader's default
  EXPECT_EQ(settings.Read(k::kLogowaid), 1000);
  EXPECT_EQ(settings.Read(k::kLangFile), "Old.ini");

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
}

}  // namespace
