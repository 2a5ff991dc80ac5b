// The mask window: its list of masks, the two files it writes, and applying a mask.

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "support/window_fixture.h"
#include "tools/mask_select.h"
#include "ui/byte_text.h"

namespace {

class MaskWindowTest : public WindowTest {
 protected:
  TMaskSelect& Masks() { return *app->MaskSelect; }
  void Type(const QString& text) { Masks().MaskBox->setEditText(text); }
  std::vector<std::string> Items() { return Masks().Items(); }
  void Open() {
    app->Form1->Mask1->trigger();
    Masks().show();
  }
};

TEST_F(MaskWindowTest, AddKeepsOneOfEachTextAndDeleteRemovesExactMatches) {
  UseTestLanguage();
  CreateApp();
  Open();
  EXPECT_EQ(Masks().windowTitle(), "E39");
  EXPECT_EQ(Masks().MaskBox->currentText(), "*.*");
  for (const char* text : {"*.txt", "*.txt", "*.TXT", "", "*.log"}) {
    Type(text);
    Masks().btnAdd->click();
  }
  EXPECT_EQ(Items(), (std::vector<std::string>{"*.txt", "*.TXT", "", "*.log"}));
  EXPECT_EQ(Masks().MaskBox->currentText(), "*.log");
  Type("*.txt");
  Masks().btnDel->click();
  EXPECT_EQ(Items(), (std::vector<std::string>{"*.TXT", "", "*.log"}));
  EXPECT_EQ(Masks().MaskBox->currentText(), "*.txt");
  Type("nothing like it");
  Masks().btnDel->click();
  EXPECT_EQ(Items().size(), 3u);
}

TEST_F(MaskWindowTest, SavedListIsLoadedAndWrittenOnEveryClose) {
  dir.CreateFile("mask.bw", "*.cpp\r\n*.h\nREADME\r\n");
  CreateApp();
  EXPECT_EQ(Items(), (std::vector<std::string>{"*.cpp", "*.h", "README"}));
  EXPECT_EQ(Masks().MaskBox->currentText(), "*.*");

  // Closing by the title bar writes mask.bw, but not msks.dat.
  Open();
  Type("*.md");
  Masks().btnAdd->click();
  Masks().close();
  EXPECT_FALSE(Masks().isVisible());
  EXPECT_EQ(dir.Read("mask.bw"), "*.cpp\r\n*.h\r\nREADME\r\n*.md\r\n");
  const std::string copy = platform::WorkingDir() + "/msks.dat";
  EXPECT_FALSE(platform::FileExists(copy));

  // The close button writes the copy into the working directory as well.
  Open();
  Type("*.cpp");
  Masks().btnDel->click();
  Masks().btnClose->click();
  EXPECT_FALSE(Masks().isVisible());
  EXPECT_EQ(dir.Read("mask.bw"), "*.h\r\nREADME\r\n*.md\r\n");
  EXPECT_EQ(platform::ReadWholeFile(copy).value_or("<missing>"), "*.h\r\nREADME\r\n*.md\r\n");
  std::remove(copy.c_str());
}

TEST_F(MaskWindowTest, OkAppliesTheMaskThroughTheConsole) {
  UseTestLanguage();
  dir.CreateFile("a.txt");
  dir.CreateFile("b.log");
  CreateApp();
  Open();
  Type("*.txt");
  Masks().btnOK->click();
  EXPECT_FALSE(Masks().isVisible());
  EXPECT_EQ(app->FileMask, "*.txt");
  EXPECT_EQ(ConsoleLines()[0], "> Mask: *.txt");
  EXPECT_EQ(app->Form1->Mask1->text(), "E23 *.txt");
  EXPECT_EQ(app->Form1->Entries(), std::vector<std::string>{"a.txt"});
  // Closing through OK saved the list too.
  EXPECT_EQ(dir.Read("mask.bw"), "");
}

TEST_F(MaskWindowTest, EmptyMaskAsksYesNoOrCancel) {
  UseTestLanguage();
  dir.CreateFile("a.txt");
  dir.CreateFile("b.log");
  CreateApp();
  Run("bw_mask(*.log)");
  Open();

  dialogs.message_answers = {MsgAnswer::kCancel};
  Type("");
  Masks().btnOK->click();
  EXPECT_EQ(dialogs.asked.last(), "message: E2: E56");
  EXPECT_TRUE(Masks().isVisible());
  EXPECT_EQ(Masks().MaskBox->currentText(), "*.*");
  EXPECT_EQ(app->FileMask, "*.log");

  dialogs.message_answers = {MsgAnswer::kNo};
  Type("");
  Masks().btnOK->click();
  EXPECT_FALSE(Masks().isVisible());
  EXPECT_EQ(app->FileMask, "*.log");
  EXPECT_EQ(app->Form1->Mask1->text(), "E23 *.log");

  Open();
  dialogs.message_answers = {MsgAnswer::kYes};
  Type("");
  Masks().btnOK->click();
  EXPECT_FALSE(Masks().isVisible());
  EXPECT_EQ(app->FileMask, "*.*");
  EXPECT_EQ(app->Form1->Mask1->text(), "E23 *.*");
  // Rescanned with every name again.
  const auto& entries = app->Form1->Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "a.txt"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "b.log"), entries.end());
}

TEST_F(MaskWindowTest, MaskThatWouldListElsewhereOrBeCutIsRefused) {
  UseTestLanguage();
  CreateApp();
  Open();
  for (const char* mask : {"../*", "file(1).txt"}) {
    Type(mask);
    Masks().btnOK->click();
    EXPECT_TRUE(Masks().isVisible()) << mask;
    EXPECT_EQ(app->FileMask, "*.*") << mask;
    EXPECT_TRUE(dialogs.asked.last().startsWith("message: E2: A mask cannot hold")) << mask;
  }
}

}  // namespace
