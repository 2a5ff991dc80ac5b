// The secondary windows as they stand at start: captions from the language file, the options
// window's settings, the bookmark lists, the drive list, and showing and hiding.

#include <QAction>
#include <QListWidget>
#include <QStringList>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/lang_editor.h"
#include "config/options_window.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "export/small_css.h"
#include "platform/mounts.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_calc.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"

namespace {

QStringList Sorted(QStringList list) {
  list.sort();
  return list;
}

// Every secondary window with the caption it takes when entry n reads "E<n>".
std::vector<std::pair<QWidget*, QString>> WindowCaptions(App& app) {
  return {
      {app.Optionz, "E15"},         {app.frmLangEdit, "E79"},  {app.MaskSelect, "E39"},
      {app.frmBatch, "E25"},        {app.frmHexEditor, "E27"}, {app.frmHexCalc, "E88"},
      {app.frmSearch, "E83"},       {app.frmCopyFile, "E91"},  {app.frmMassCopy, "[COPY]"},
      {app.frmHTMLFileList, "E26"}, {app.frmSmallCss, "E68"},  {app.frmBookMarks, "E28"},
      {app.frmDriveSel, "E99"},
  };
}

using SecondaryWindowsTest = WindowTest;

TEST_F(SecondaryWindowsTest, WindowsStartHiddenAndShowAndHideWithoutBeingDestroyed) {
  UseTestLanguage();
  CreateApp();
  for (const auto& [window, caption] : WindowCaptions(*app)) {
    SCOPED_TRACE(caption.toStdString());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    app->Show(window);
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), caption);  // still there after closing
  }
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
}

TEST_F(SecondaryWindowsTest, CaptionsComeFromTheLanguageFile) {
  UseTestLanguage();
  CreateApp();
  for (const auto& [window, caption] : WindowCaptions(*app)) {
    EXPECT_EQ(window->windowTitle(), caption);
  }

  const TOptionz& o = *app->Optionz;
  EXPECT_EQ(o.Pages->tabText(o.Pages->indexOf(o.InterfaceSheet)), "E73");
  EXPECT_EQ(o.Pages->tabText(o.Pages->indexOf(o.Confrimz)), "E60");
  EXPECT_EQ(o.bgClr->title(), "E58");
  EXPECT_EQ(o.FontColor->title(), "E59");
  EXPECT_EQ(o.gFont->title(), "E74");
  EXPECT_EQ(o.Langvitsh->title(), "E56");
  EXPECT_EQ(o.btnLanEdit->text(), "E63");
  EXPECT_EQ(o.onexit->text(), "E62");
  EXPECT_EQ(o.ondel->text(), "E61");
  EXPECT_EQ(o.chxConsoleClear->text(), "E96");
  EXPECT_EQ(o.lblLogowhaid->text(), "E89");
  EXPECT_EQ(o.lblMs->text(), "E90");
  EXPECT_EQ(o.GroupBox1->title(), "E98");

  const TfrmLangEdit& le = *app->frmLangEdit;
  EXPECT_EQ(le.lblAuth->text(), "E54");
  EXPECT_EQ(le.lblName->text(), "E55");
  EXPECT_EQ(le.lbldate->text(), "E50");
  EXPECT_EQ(le.btnSave->text(), "E69");
  EXPECT_EQ(le.btnCancel->text(), "E72");

  EXPECT_EQ(app->MaskSelect->btnAdd->text(), "E40");
  EXPECT_EQ(app->MaskSelect->btnDel->text(), "E41");
  EXPECT_EQ(app->MaskSelect->btnClose->text(), "E42");

  const TfrmBatch& b = *app->frmBatch;
  ASSERT_EQ(b.Pages->count(), 3);
  EXPECT_EQ(b.Pages->tabText(0), "E43");
  EXPECT_EQ(b.Pages->tabText(1), "E44");
  EXPECT_EQ(b.Pages->tabText(2), "E95");
  EXPECT_EQ(b.Pages->currentIndex(), 1);  // the script page opens first
  EXPECT_EQ(b.maskto->text(), "E71");
  EXPECT_EQ(b.btnVars->text(), "E93");
  EXPECT_EQ(b.btnConsts->text(), "E94");
  EXPECT_EQ(b.masktoren->text(), "$NUM_$OFN");

  EXPECT_EQ(app->frmHexEditor->SAVE1->text(), "E69");
  EXPECT_EQ(app->frmHexEditor->ABORT1->text(), "E70");
  EXPECT_EQ(app->frmHexEditor->CALC1->text(), "E88");

  EXPECT_EQ(app->frmSearch->btnStart->text(), "E87");
  EXPECT_EQ(app->frmSearch->btnQuit->text(), "E42");
  EXPECT_EQ(app->frmCopyFile->bntCopy->text(), "E91");
  EXPECT_EQ(app->frmCopyFile->btnClose->text(), "E42");
  EXPECT_EQ(app->frmMassCopy->btnCopy->text(), "btnCopy");

  const TfrmHTMLFileList& h = *app->frmHTMLFileList;
  EXPECT_EQ(h.flFoolPath->text(), "E48");
  EXPECT_EQ(h.flDate->text(), "E50");
  EXPECT_EQ(h.flSize->text(), "E49");
  EXPECT_EQ(h.title->text(), "E51");
  EXPECT_EQ(h.btCancel->text(), "E72");
  EXPECT_EQ(h.btnstyles->text(), "E52 > > >");
  EXPECT_EQ(h.btnSmall->text(), "E68");

  const TfrmSmallCss& css = *app->frmSmallCss;
  EXPECT_EQ(css.AddTag1->text(), "E75");
  EXPECT_EQ(css.EditTag1->text(), "E75");
  EXPECT_EQ(css.Delete->text(), "E20");
  EXPECT_EQ(css.Load1->text(), "E3");
  EXPECT_EQ(css.btnSave->text(), "E69");
  EXPECT_EQ(css.Button1->text(), "E65");
  ASSERT_EQ(css.treCss->topLevelItemCount(), 1);
  EXPECT_EQ(css.treCss->topLevelItem(0)->text(0), "BODY");

  EXPECT_EQ(app->frmBookMarks->add->text(), "E40");
  EXPECT_EQ(app->frmBookMarks->del->text(), "E41");
  EXPECT_EQ(app->frmBookMarks->btnSort->text(), "E100");
}

TEST_F(SecondaryWindowsTest, MissingEntriesAndMissingFileReadStringN) {
  // Only two entries are given; every other caption shows its default.
  dir.CreateFile("Lang/Short.ini", "[LanFile]\r\n15=Options\r\n99=Select Drive\r\n");
  dir.CreateFile("config.ini", "[Lang]\r\nFile=Short.ini\r\n");
  CreateApp();
  EXPECT_EQ(app->Optionz->windowTitle(), "Options");
  EXPECT_EQ(app->frmDriveSel->windowTitle(), "Select Drive");
  EXPECT_EQ(app->Optionz->onexit->text(), "string_62");
  EXPECT_EQ(app->frmBatch->Pages->tabText(2), "string_95");
  EXPECT_EQ(app->frmHexEditor->CALC1->text(), "string_88");
  EXPECT_EQ(app->frmBookMarks->btnSort->text(), "string_100");
  EXPECT_EQ(app->frmLangEdit->windowTitle(), "string_79");
}

TEST_F(SecondaryWindowsTest, NoLanguageFileGivesDefaultsEverywhere) {
  CreateApp();  // config.ini names Russuan.ini, which does not exist here
  EXPECT_EQ(app->frmSearch->windowTitle(), "string_83");
  EXPECT_EQ(app->frmHTMLFileList->btnstyles->text(), "string_52 > > >");
  EXPECT_EQ(app->frmSmallCss->Load1->text(), "string_3");
}

TEST_F(SecondaryWindowsTest, CreationStepsRunAgainTakeTheNewLanguageAndAddNothingTwice) {
  UseTestLanguage();
  dir.CreateFile("bmks.bw", "/a/\r\n/b/\r\n");
  dir.CreateFile("favapps.bw", "/usr/bin/gedit\r\n");
  dir.CreateFile("FL/one.css", "BODY\r\n");
  CreateApp();

  // Another language, then the creation steps as the options window will run them on closing.
  dir.CreateFile("Lang/English.ini", "[LanFile]\r\n25=Batch\r\n28=Bookmarks\r\n79=Editor\r\n");
  app->Form1->FormCreate();
  app->frmBatch->FormCreate();
  app->frmBookMarks->FormCreate();
  app->Optionz->FormCreate();
  app->frmHTMLFileList->FormCreate();
  app->frmLangEdit->FormCreate();
  app->frmDriveSel->FormCreate();

  EXPECT_EQ(app->frmBatch->windowTitle(), "Batch");
  EXPECT_EQ(app->frmBatch->Pages->tabText(0), "string_43");
  EXPECT_EQ(app->frmBookMarks->windowTitle(), "Bookmarks");
  EXPECT_EQ(app->frmLangEdit->windowTitle(), "Editor");
  EXPECT_EQ(app->frmLangEdit->cmbID->count(), 100);
  EXPECT_EQ(Items(app->frmBookMarks->bookmarkz), QStringList({"/a/", "/b/"}));
  EXPECT_EQ(Items(app->Form1->bookmarkz), QStringList({"/a/", "/b/"}));
  EXPECT_EQ(Items(app->Optionz->faplist), QStringList({"/usr/bin/gedit"}));
  EXPECT_EQ(Items(app->frmHTMLFileList->lStyles), QStringList({"one.css"}));
  EXPECT_EQ(app->Optionz->LNames->count(), 1);
  EXPECT_EQ(app->Optionz->hddnlist.size(), 1u);
  EXPECT_EQ(app->frmDriveSel->selDrivw->findText("/"), 0);
  EXPECT_EQ(app->frmDriveSel->selDrivw->count(), static_cast<int>(platform::MountPoints().size()));
}

TEST_F(SecondaryWindowsTest, OptionsTakeTheirSettingsWithDefaultsWhenAbsent) {
  CreateApp();
  const TOptionz& o = *app->Optionz;
  EXPECT_TRUE(o.onexit->isChecked());
  EXPECT_TRUE(o.ondel->isChecked());
  EXPECT_TRUE(o.chxConsoleClear->isChecked());
  EXPECT_EQ(o.logowhaid->text(), "2000");
  EXPECT_EQ(o.rCh->value(), 255);
  EXPECT_EQ(o.bCh->value(), 255);
  EXPECT_EQ(o.fr->value(), 0);
  EXPECT_FALSE(o.cb->isChecked());
  EXPECT_EQ(o.fsize->currentText(), "8");
  EXPECT_EQ(o.fontz->currentText(), "Arial");
  EXPECT_EQ(o.faplist->count(), 0);  // no favapps.bw
  EXPECT_EQ(o.LNames->count(), 0);   // no Lang folder
  EXPECT_EQ(o.BackgroundColour(), QColor(255, 255, 255));
  EXPECT_EQ(o.TextColour(), QColor(0, 0, 0));
}

TEST_F(SecondaryWindowsTest, OptionsTakeTheSettingsFromTheFiles) {
  dir.CreateFile("config.ini",
                 "[confrims]\r\nonexit=0\r\nondel=0\r\noncnclr=0\r\nlogowaid=1500\r\n"
                 "[interface]\r\nbgcr=300\r\nbgcg=-5\r\nbgcb=x\r\nttcr=17\r\nttcg=$20\r\n"
                 "fontb=1\r\nfontu=1\r\nfsize=12\r\nfont=NoSuchFontAnywhere\r\n");
  dir.CreateFile("favapps.bw", "/usr/bin/gimp\r\n/opt/app run\r\n/usr/bin/last");
  dir.CreateFile("Lang/English.ini", "[info]\r\nname=English\r\n");
  dir.CreateFile("Lang/Nameless.ini", "[LanFile]\r\n1=x\r\n");
  dir.CreateFile("Lang/notes.txt", "");
  dir.CreateDir("Lang/folder.ini");
  CreateApp();
  const TOptionz& o = *app->Optionz;

  EXPECT_FALSE(o.onexit->isChecked());
  EXPECT_FALSE(o.ondel->isChecked());
  EXPECT_FALSE(o.chxConsoleClear->isChecked());
  EXPECT_EQ(o.logowhaid->text(), "1500");

  EXPECT_EQ(o.rCh->value(), 255);  // 300 stops at the bar's end
  EXPECT_EQ(o.gCh->value(), 0);    // so does -5
  EXPECT_EQ(o.bCh->value(), 255);  // no number: the default
  EXPECT_EQ(o.fr->value(), 17);
  EXPECT_EQ(o.fg->value(), 32);
  EXPECT_EQ(o.fb->value(), 0);
  EXPECT_EQ(o.BackgroundColour(), QColor(255, 0, 255));
  EXPECT_EQ(o.TextColour(), QColor(17, 32, 0));

  EXPECT_TRUE(o.cb->isChecked());
  EXPECT_FALSE(o.ci->isChecked());
  EXPECT_TRUE(o.cu->isChecked());
  EXPECT_EQ(o.fsize->currentText(), "12");
  // A font that is not installed keeps its name, so that it is not lost.
  EXPECT_EQ(o.fontz->currentText(), "NoSuchFontAnywhere");
  EXPECT_EQ(o.Label1->text(), "BWv0.1");
  EXPECT_EQ(o.Label1->font().pointSize(), 12);
  EXPECT_TRUE(o.Label1->font().bold());
  EXPECT_TRUE(o.Label1->font().underline());

  EXPECT_EQ(Items(o.faplist), QStringList({"/usr/bin/gimp", "/opt/app run", "/usr/bin/last"}));

  EXPECT_EQ(Sorted(Items(o.LNames)),
            QStringList({"English [English.ini]", "Untitled [Nameless.ini]"}));
  ASSERT_EQ(o.hddnlist.size(), 2u);
  for (int i = 0; i < 2; ++i) {  // the hidden names run parallel to the shown lines
    EXPECT_TRUE(
        o.LNames->item(i)->text().endsWith("[" + QString::fromStdString(o.hddnlist[i]) + "]"));
  }

  // The hex viewer takes its colours from the options window's previews.
  const QPalette hex = app->frmHexEditor->memHex->palette();
  EXPECT_EQ(hex.color(QPalette::Base), QColor(255, 0, 255));
  EXPECT_EQ(hex.color(QPalette::Text), QColor(17, 32, 0));
}

TEST_F(SecondaryWindowsTest, OptionsColourPreviewsFollowTheBars) {
  CreateApp();
  TOptionz& o = *app->Optionz;
  o.rCh->setValue(10);
  o.gCh->setValue(20);
  o.bCh->setValue(30);
  o.fb->setValue(200);
  EXPECT_EQ(o.testClr->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(o.testfcolor->palette().color(QPalette::Window), QColor(0, 0, 200));
  // A size box that does not hold a number yet keeps the preview's size.
  o.fsize->setCurrentText("14");
  o.fsize->setCurrentText("1x");
  EXPECT_EQ(o.Label1->font().pointSize(), 14);
}

TEST_F(SecondaryWindowsTest, BookmarksLoadIntoBothLists) {
  dir.CreateFile("bmks.bw", "/home/ann/\r\n\r\n/srv/data/\n/mnt/last/");
  CreateApp();
  const QStringList expected({"/home/ann/", "", "/srv/data/", "/mnt/last/"});
  EXPECT_EQ(Items(app->frmBookMarks->bookmarkz), expected);
  EXPECT_EQ(Items(app->Form1->bookmarkz), expected);
}

TEST_F(SecondaryWindowsTest, BookmarksWithoutFileHoldTheRootOnly) {
  CreateApp();
  EXPECT_EQ(Items(app->frmBookMarks->bookmarkz), QStringList({"/"}));
  EXPECT_EQ(Items(app->Form1->bookmarkz), QStringList({"/"}));
}

TEST_F(SecondaryWindowsTest, AddBookmarkAddsToBothListsAndRefusesDuplicates) {
  UseTestLanguage();
  dir.CreateFile("bmks.bw", "/home/ann/\r\n");
  CreateApp();
  TfrmBookMarks& bm = *app->frmBookMarks;

  bm.addsrch->setText("/srv/");
  bm.addClick();
  EXPECT_EQ(Items(bm.bookmarkz), QStringList({"/home/ann/", "/srv/"}));
  EXPECT_EQ(Items(app->Form1->bookmarkz), QStringList({"/home/ann/", "/srv/"}));
  ASSERT_FALSE(ConsoleLines().empty());
  EXPECT_EQ(ConsoleLines().front(), "> Bookmark: /srv/");
  EXPECT_TRUE(dialogs.asked.isEmpty());

  // The same path again: the message of entry 72, nothing added, nothing printed.
  const std::size_t lines_before = ConsoleLines().size();
  bm.addsrch->setText("/home/ann/");
  bm.addClick();
  ASSERT_EQ(dialogs.asked.size(), 1);
  EXPECT_TRUE(dialogs.asked[0].contains("E72")) << dialogs.asked[0].toStdString();
  EXPECT_EQ(Items(bm.bookmarkz), QStringList({"/home/ann/", "/srv/"}));
  EXPECT_EQ(Items(app->Form1->bookmarkz), QStringList({"/home/ann/", "/srv/"}));
  EXPECT_EQ(ConsoleLines().size(), lines_before);

  // Letter case counts: another case is another path.
  bm.addsrch->setText("/HOME/ann/");
  bm.addClick();
  EXPECT_EQ(Items(app->Form1->bookmarkz), QStringList({"/home/ann/", "/srv/", "/HOME/ann/"}));
  EXPECT_EQ(dialogs.asked.size(), 1);
}

TEST_F(SecondaryWindowsTest, AddBookmarkKeepsNamesThatAreNotUtf8) {
  CreateApp();
  TfrmBookMarks& bm = *app->frmBookMarks;
  const std::string name = "/data/caf\xE9/";  // Latin-1 bytes, not UTF-8
  bm.addsrch->setText(BytesToText(name));
  bm.addClick();
  EXPECT_EQ(TextToBytes(app->Form1->bookmarkz->item(1)->text()), name);
  EXPECT_EQ(ConsoleLines().front(), "> Bookmark: " + name);
}

TEST_F(SecondaryWindowsTest, DriveSelectionListsRootFirstAndListsTheChoice) {
  UseTestLanguage();
  CreateApp();
  TfrmDriveSel& d = *app->frmDriveSel;
  ASSERT_GE(d.selDrivw->count(), 1);
  EXPECT_EQ(d.selDrivw->itemText(0), "/");
  EXPECT_EQ(d.btnOk->text(), "OK");

  app->Show(&d);
  d.selDrivw->setCurrentIndex(0);
  d.btnOkClick();
  EXPECT_EQ(app->Form1->SearchLine->text(), "/");
  EXPECT_EQ(app->CurrentDir, "/");  // the main window listed it
  EXPECT_FALSE(d.isVisible());
}

TEST_F(SecondaryWindowsTest, HexViewerLoadEmptiesTheViewAndNamesTheFile) {
  CreateApp();
  TfrmHexEditor& hex = *app->frmHexEditor;
  hex.LoadHexDump(dir.CreateFile("first.bin", "AB"));
  ASSERT_EQ(hex.memHex->toPlainText(), "1 : 41 42 ");
  const std::string second = dir.CreateFile("some file.bin", "C");
  hex.LoadHexDump(second);
  EXPECT_EQ(hex.memHex->toPlainText(), "1 : 43 ");
  EXPECT_EQ(hex.LoadedPath(), second);
  EXPECT_EQ(hex.lblFile->text(), BytesToText(second));
  EXPECT_TRUE(hex.memHex->isReadOnly());
}

TEST_F(SecondaryWindowsTest, HtmlFileListOffersTheOrdinaryStyleFiles) {
  dir.CreateFile("FL/plain.css", "BODY\r\n");
  dir.CreateFile("FL/UPPER.CSS", "");
  dir.CreateFile("FL/.hidden.css", "");
  dir.CreateFile("FL/notes.txt", "");
  dir.CreateDir("FL/folder.css");
  CreateApp();
  EXPECT_EQ(Sorted(Items(app->frmHTMLFileList->lStyles)), QStringList({"UPPER.CSS", "plain.css"}));
  EXPECT_TRUE(app->frmHTMLFileList->path->isReadOnly());
}

}  // namespace
