// The options window's events and its closing, and the language editor.

#include <sys/stat.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QStringList>
#include <algorithm>
#include <string>

#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/lang_editor.h"
#include "config/options_window.h"
#include "config/settings_rules.h"
#include "console/console_lists.h"
#include "export/small_css.h"
#include "support/window_fixture.h"
#include "tools/copy_windows.h"
#include "tools/hex_calc.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"

namespace {

class OptionsWindowTest : public WindowTest {
 protected:
  TOptionz& Options() { return *app->Optionz; }
  TfrmLangEdit& Editor() { return *app->frmLangEdit; }
  // A second language whose entry n reads "G<n>", with details for the language list.
  void AddGermanLanguage() {
    std::string lang = "[info]\r\nname=Deutsch\r\nauthor=Grete\r\ndate=1.2.2026\r\n[LanFile]\r\n";
    for (int n = 1; n <= 101; ++n) lang += std::to_string(n) + "=G" + std::to_string(n) + "\r\n";
    dir.CreateFile("Lang/German.ini", lang);
  }
  void SelectLanguage(const std::string& file) {
    const auto& files = Options().hddnlist;
    const auto at = std::find(files.begin(), files.end(), file);
    ASSERT_NE(at, files.end()) << file;
    Options().LNames->setCurrentRow(static_cast<int>(at - files.begin()));
  }
  config::Settings Settings() { return app->Settings(); }
};

TEST_F(OptionsWindowTest, ClosingWritesEverythingAndAppliesItAtOnce) {
  UseTestLanguage();
  AddGermanLanguage();
  CreateApp();
  ASSERT_EQ(app->Form1->Delete1->text(), "E20");
  app->Form1->Optionz1Click();
  ASSERT_TRUE(Options().isVisible());

  TOptionz& o = Options();
  o.rCh->setValue(10);
  o.gCh->setValue(20);
  o.bCh->setValue(30);
  o.fr->setValue(200);
  o.fontz->setCurrentIndex(o.fontz->count() - 1);
  const QString face = o.fontz->currentText();
  o.fsize->setCurrentText("14");
  o.cb->setChecked(true);
  o.ci->setChecked(true);
  o.ondel->setChecked(false);
  EXPECT_TRUE(o.chxTrash->isChecked());  // on by default
  o.chxTrash->setChecked(false);
  o.logowhaid->setText("750");
  SelectLanguage("German.ini");
  o.btnOk->click();

  EXPECT_FALSE(o.isVisible());
  namespace k = config::keys;
  const config::Settings settings = Settings();
  EXPECT_EQ(settings.Read(k::kBgcr), "10");
  EXPECT_EQ(settings.Read(k::kBgcb), "30");
  EXPECT_EQ(settings.Read(k::kTtcr), "200");
  EXPECT_EQ(settings.Read(k::kFont), TextToBytes(face));
  EXPECT_EQ(settings.Read(k::kFsize), 14);
  EXPECT_TRUE(settings.ReadFlag(k::kFontb));
  EXPECT_TRUE(settings.ReadFlag(k::kFonti));
  EXPECT_FALSE(settings.ReadFlag(k::kFontu));
  EXPECT_FALSE(settings.ReadFlag(k::kOndel));
  EXPECT_FALSE(settings.ReadFlag(k::kTrash));
  EXPECT_TRUE(settings.ReadFlag(k::kOnexit));
  EXPECT_EQ(settings.Read(k::kLogowaid), 750);
  EXPECT_EQ(settings.Read(k::kLangFile), "German.ini");
  EXPECT_EQ(dir.Read("favapps.bw"), "");

  // The creation steps ran again: the new language, font and colours show at once.
  TForm1& main = *app->Form1;
  EXPECT_EQ(main.Delete1->text(), "G20");
  EXPECT_EQ(main.Operations1->title(), "G18");
  EXPECT_EQ(o.windowTitle(), "G15");
  EXPECT_EQ(Editor().windowTitle(), "G79");
  // So do the windows that take their captions only in their creation step.
  const std::pair<QString, QString> captions[] = {
      {app->frmConsoleVars->windowTitle(), "G93"}, {app->frmHexCalc->windowTitle(), "G88"},
      {app->frmCopyFile->windowTitle(), "G91"},    {app->frmCopyFile->btnClose->text(), "G42"},
      {app->frmSmallCss->windowTitle(), "G68"},    {app->frmSmallCss->AddTag1->text(), "G75"},
      {app->frmSmallCss->Load1->text(), "G3"},     {app->frmDriveSel->windowTitle(), "G99"},
      {app->frmConsoleComs->windowTitle(), "G85"},
  };
  for (const auto& [shown, expected] : captions) EXPECT_EQ(shown, expected);
  EXPECT_EQ(main.fList->palette().color(QPalette::Base), QColor(10, 20, 30));
  EXPECT_EQ(main.fList->palette().color(QPalette::Text), QColor(200, 0, 0));
  EXPECT_EQ(main.fList->font().family(), face);
  EXPECT_EQ(main.fList->font().pointSize(), 14);
  EXPECT_TRUE(main.fList->font().italic());
  // The window read its values back; the language list lost its selection.
  EXPECT_EQ(o.rCh->value(), 10);
  EXPECT_FALSE(o.ondel->isChecked());
  EXPECT_FALSE(o.chxTrash->isChecked());
  EXPECT_EQ(o.LNames->selectedItems().size(), 0);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
}

TEST_F(OptionsWindowTest, ClosingKeepsThePanelsTheViewMenuTurnedOn) {
  CreateApp();
  TForm1& main = *app->Form1;
  ASSERT_TRUE(main.DirTree->isHidden());
  ASSERT_TRUE(main.bookmarkz->isHidden());
  main.DIRTREE1->trigger();
  main.SHOWBOOKMARKS1->trigger();
  main.Optionz1Click();
  Options().btnOk->click();
  EXPECT_FALSE(main.DirTree->isHidden());
  EXPECT_FALSE(main.bookmarkz->isHidden());
  EXPECT_TRUE(main.DIRTREE1->isChecked());
  // Turned off again, they stay off.
  main.SHOWBOOKMARKS1->trigger();
  Options().FormClose();
  EXPECT_TRUE(main.bookmarkz->isHidden());
  EXPECT_FALSE(main.SHOWBOOKMARKS1->isChecked());
}

TEST_F(OptionsWindowTest, ClosingUnchangedRewritesTheShownValues) {
  dir.CreateFile("config.ini", "; mine\r\n[interface]\r\nfsize=1x\r\n");
  dir.CreateFile("favapps.bw", "/usr/bin/a\n/usr/bin/b");
  CreateApp();
  Options().close();
  const std::string config = dir.Read("config.ini");
  // The size box showed the default for a size that is no number, and that is what is written.
  EXPECT_EQ(config.rfind("; mine\r\n[interface]\r\nfsize=8\r\n", 0), 0u);
  EXPECT_NE(config.find("logowaid=2000\r\n"), std::string::npos);
  EXPECT_NE(config.find("bgcr=255\r\n"), std::string::npos);
  EXPECT_NE(config.find("oncnclr=1\r\n"), std::string::npos);
  EXPECT_EQ(config.find("[Lang]"), std::string::npos);  // no language listed, none written
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/a\r\n/usr/bin/b\r\n");
}

TEST_F(OptionsWindowTest, ASettingThatCannotBeWrittenKeepsTheWindowOpen) {
  CreateApp();
  app->Form1->Optionz1Click();
  Options().rCh->setValue(7);
  // config.ini becomes something no write can replace.
  dir.CreateDir("config.ini");
  dialogs.errors.clear();
  Options().close();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0].toStdString(), "Unable to write to " + dir.Slash() + "config.ini");
  EXPECT_TRUE(Options().isVisible());
  EXPECT_EQ(Options().rCh->value(), 7);
}

TEST_F(OptionsWindowTest, LanguageDetailsAndColourDialogs) {
  UseTestLanguage();
  AddGermanLanguage();
  CreateApp();
  TOptionz& o = Options();
  // A click moves the current line before it selects it; the details follow the selection.
  const auto& files = o.hddnlist;
  const int german =
      static_cast<int>(std::find(files.begin(), files.end(), "German.ini") - files.begin());
  o.LNames->setCurrentRow(german, QItemSelectionModel::NoUpdate);
  EXPECT_EQ(o.about->toPlainText(), "");
  o.LNames->item(german)->setSelected(true);
  EXPECT_EQ(o.about->toPlainText(), "E54: Grete\nE50: 1.2.2026\nE101 : ");
  SelectLanguage("English.ini");
  EXPECT_EQ(o.about->toPlainText(), "E54: Anonymus\nE50: [N/A]\nE101 : ");

  dialogs.color_answers = {QColor(1, 2, 3), std::nullopt, QColor(250, 128, 64)};
  o.testClrClick();
  EXPECT_EQ(o.BackgroundColour(), QColor(1, 2, 3));
  EXPECT_EQ(o.testClr->palette().color(QPalette::Window), QColor(1, 2, 3));
  o.testClrClick();  // cancelled
  EXPECT_EQ(o.BackgroundColour(), QColor(1, 2, 3));
  o.testfcolorClick();
  EXPECT_EQ(o.TextColour(), QColor(250, 128, 64));
  EXPECT_EQ(o.fb->value(), 64);

  o.close();
  EXPECT_EQ(o.about->toPlainText(), "");  // the list lost its selection, the details went too
}

TEST_F(OptionsWindowTest, FavouriteProgramsAreAddedAndRemoved) {
  const std::string tool = dir.CreateFile("bin/tool", "#!/bin/sh\n");
  chmod(tool.c_str(), 0755);
  const std::string entry = dir.CreateFile("apps/editor.desktop", "[Desktop Entry]\n");
  const std::string text = dir.CreateFile("notes.txt", "plain");
  CreateApp();
  TOptionz& o = Options();
  dialogs.open_answers = {QString(), BytesToText(tool), BytesToText(text), BytesToText(entry),
                          BytesToText(dir.Slash() + "gone")};
  for (int i = 0; i < 5; ++i) o.btnAddClick();
  EXPECT_EQ(dialogs.asked.first(), "open: Programs|*");
  QStringList items;
  for (int i = 0; i < o.faplist->count(); ++i) items << o.faplist->item(i)->text();
  EXPECT_EQ(items, QStringList({BytesToText(tool), BytesToText(entry)}));
  EXPECT_EQ(ConsoleLines().front(), "> Warning: Not a program: " + text);

  o.faplist->clearSelection();
  o.btnremovClick();  // nothing selected
  EXPECT_EQ(o.faplist->count(), 2);
  o.faplist->setCurrentRow(0);
  o.btnremovClick();
  ASSERT_EQ(o.faplist->count(), 1);
  o.close();
  EXPECT_EQ(dir.Read("favapps.bw"), entry + "\r\n");
  EXPECT_EQ(o.faplist->item(0)->text(), BytesToText(entry));  // reloaded from the file
}

TEST_F(OptionsWindowTest, EditedLanguageSavedAndChosenShowsAtOnce) {
  UseTestLanguage();
  AddGermanLanguage();
  dir.CreateFile("Lang/German.ini", dir.Read("Lang/German.ini") + "; last words\r\n");
  CreateApp();
  SelectLanguage("German.ini");
  Options().btnLanEditClick();
  TfrmLangEdit& e = Editor();
  ASSERT_TRUE(e.isVisible());
  EXPECT_EQ(e.txtAutor->text(), "Grete");
  EXPECT_EQ(e.txtLangName->text(), "Deutsch");
  EXPECT_EQ(e.WorkingText(100), "G100");

  e.cmbID->setCurrentIndex(19);
  EXPECT_EQ(e.memText->toPlainText(), "G20");
  e.memText->setPlainText("Weg damit");
  e.btnPlusClick();
  e.cmbID->setCurrentIndex(0);
  EXPECT_EQ(e.memText->toPlainText(), "G1");
  e.cmbID->setCurrentIndex(19);
  EXPECT_EQ(e.memText->toPlainText(), "Weg damit");

  // Saved over the file it came from: keys replaced in place, everything else kept.
  e.txtName->setText("German.ini");
  e.txtDate->setText("3.4.2026");
  e.btnSaveClick();
  EXPECT_FALSE(e.isVisible());
  const std::string saved = dir.Read("Lang/German.ini");
  EXPECT_NE(saved.find("\r\n19=G19\r\n20=Weg damit\r\n21=G21\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n101=G101\r\n; last words\r\n"), std::string::npos);
  EXPECT_NE(saved.find("[info]\r\nname=Deutsch\r\nauthor=Grete\r\ndate=3.4.2026\r\n"),
            std::string::npos);

  // Choosing it in the options shows the new text wherever entry 20 is used.
  SelectLanguage("German.ini");
  Options().close();
  EXPECT_EQ(app->Form1->Delete1->text(), "Weg damit");
  EXPECT_EQ(app->Form1->DELETE2->text(), "Weg damit");
}

TEST_F(OptionsWindowTest, EditorSavesNewFilesCancelsAndReportsAMissingFolder) {
  UseTestLanguage();
  CreateApp();
  TfrmLangEdit& e = Editor();
  // Without a selected language the editor opens as it stands.
  Options().LNames->clearSelection();
  Options().btnLanEditClick();
  EXPECT_TRUE(e.isVisible());
  EXPECT_EQ(e.WorkingText(1), "");

  e.memText->setPlainText("One");
  e.btnPlusClick();
  e.btnCancelClick();
  EXPECT_FALSE(e.isVisible());
  EXPECT_EQ(e.WorkingText(1), "One");  // the working table outlives the window

  e.txtName->setText("new.ini");
  e.btnSaveClick();
  config::LanguageTable table;
  table.Load(dir.Slash() + "Lang/new.ini");
  EXPECT_EQ(table.Entry(1), "One");
  EXPECT_EQ(table.Entry(2), "");
  EXPECT_EQ(table.Entry(101), "string_101");
  EXPECT_NE(dir.Read("Lang/new.ini").find("author=Anonymos"), std::string::npos);

  app->Show(&e);
  e.txtName->setText("sub/none.ini");
  app->Guarded([&] { e.btnSaveClick(); });
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0].toStdString(),
            "Unable to write to " + dir.Slash() + "Lang/sub/none.ini");
  EXPECT_TRUE(e.isVisible());
}

}  // namespace
