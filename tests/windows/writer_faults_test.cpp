// Every writer the user reaches, driven through its window or console command while the disk
// fills up part-way, a read fails in the middle of a file, a permission is refused or a file
// vanishes between its check and its use: the old file stays whole or the new one is complete,
// nothing half-written is left, and the user is told.

#include <dirent.h>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "config/options_window.h"
#include "export/bookmarks_window.h"
#include "export/html_file_list.h"
#include "export/small_css.h"
#include "platform/append_file.h"
#include "platform/fault_plan.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "support/fault_plans.h"
#include "support/hex_dump.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_rules.h"
#include "tools/hex_viewer.h"
#include "tools/mask_select.h"
#include "tools/rename_journal_rules.h"
#include "ui/byte_text.h"

namespace {

using platform::faults::Plan;
using platform::faults::Scoped;
using namespace test_faults;

// Temporary files of the atomic writer left in `dir`: there must never be any.
int LeftoverTemporaries(const std::string& dir) {
  int count = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (std::string(e->d_name).rfind(".bw-write.", 0) == 0) ++count;
    }
    closedir(d);
  }
  return count;
}

class WriterFaultsTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    dir.CreateFile("defvars.txt");  // without it every expanded text adds a warning
  }
  bool Echoed(const std::string& line) const {
    return std::find(echoed.begin(), echoed.end(), line) != echoed.end();
  }
  // The one error report since the last call, which must name `file`.
  void ExpectOneErrorNaming(const std::string& file) {
    ASSERT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(dialogs.errors[0], "Unable to write to " + BytesToText(file));
    dialogs.errors.clear();
  }
  void ExpectNoTemporaries() { EXPECT_EQ(LeftoverTemporaries(dir.Path()), 0); }
};

TEST_F(WriterFaultsTest, SettingsAndTheListFilesKeepTheirOldTextWhenTheyCannotBeWritten) {
  const std::string config = "[interface]\r\nfsize=8\r\n";
  dir.CreateFile("config.ini", config);
  dir.CreateFile("favapps.bw", "/usr/bin/a\r\n");
  dir.CreateFile("bmks.bw", "/home/ann/\r\n");
  dir.CreateFile("mask.bw", "*.cpp\r\n");
  dir.CreateFile("msks.dat", "*.old\r\n");
  platform::SetWorkingDir(dir.Path());
  CreateApp();
  const std::string original_config = dir.Read("config.ini");

  // The options' settings go in one rewrite: a disk that fills during it changes no key, and
  // the window stays open with the edits.
  app->Optionz->show();
  app->Optionz->fr->setValue(200);
  {
    Scoped full(FullDiskAfter(20));
    app->Optionz->btnOk->click();
  }
  EXPECT_EQ(dir.Read("config.ini"), original_config);
  ExpectOneErrorNaming(dir.Slash() + "config.ini");
  EXPECT_TRUE(app->Optionz->isVisible());
  // The settings are written, the favourite applications refused.
  {
    Scoped refused(Refuse("/favapps.bw"));
    app->Optionz->btnOk->click();
  }
  EXPECT_NE(dir.Read("config.ini").find("ttcr=200\r\n"), std::string::npos);
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/a\r\n");
  ExpectOneErrorNaming(dir.Slash() + "favapps.bw");

  // Bookmarks: written on closing the window.
  app->Show(app->frmBookMarks);
  app->frmBookMarks->addsrch->setText("/srv/");
  app->Guarded([&] { app->frmBookMarks->addClick(); });
  {
    Scoped full(FullDiskAfter(5));
    app->frmBookMarks->close();
  }
  EXPECT_EQ(dir.Read("bmks.bw"), "/home/ann/\r\n");
  ExpectOneErrorNaming(dir.Slash() + "bmks.bw");
  app->Show(app->frmBookMarks);
  app->frmBookMarks->close();
  EXPECT_EQ(dir.Read("bmks.bw"), "/home/ann/\r\n/srv/\r\n");

  // Masks: mask.bw on every close, msks.dat from the close button.
  TMaskSelect& masks = *app->MaskSelect;
  app->Form1->Mask1->trigger();
  masks.MaskBox->setEditText("*.md");
  masks.btnAdd->click();
  {
    Scoped full(FullDiskAfter(3));
    masks.close();
  }
  EXPECT_EQ(dir.Read("mask.bw"), "*.cpp\r\n");
  ExpectOneErrorNaming(dir.Slash() + "mask.bw");
  masks.show();
  {
    Scoped refused(Refuse("msks.dat"));
    masks.btnClose->click();
  }
  EXPECT_EQ(dir.Read("msks.dat"), "*.old\r\n");
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].endsWith("msks.dat"));
  dialogs.errors.clear();
  masks.btnClose->click();
  EXPECT_EQ(dir.Read("msks.dat"), "*.cpp\r\n*.md\r\n");
  EXPECT_EQ(dir.Read("mask.bw"), "*.cpp\r\n*.md\r\n");
  ExpectNoTemporaries();
}

TEST_F(WriterFaultsTest, StyleScriptConsoleTextAndPageKeepTheOldFileAndSayWhy) {
  dir.CreateFile("FL/mine.css", "OLD\r\n");
  dir.CreateFile("job.bws", "old script");
  dir.CreateFile("saved.txt", "old console text\r\n");
  dir.CreateFile("page.htm", "old page");
  CreateApp();

  // The style tree "BODY" makes six bytes; the disk holds three of them.
  dialogs.save_answers = {BytesToText(dir.Slash() + "FL/mine.css")};
  {
    Scoped full(FullDiskAfter(3));
    app->frmSmallCss->btnSave->click();
  }
  EXPECT_EQ(dir.Read("FL/mine.css"), "OLD\r\n");
  ExpectOneErrorNaming(dir.Slash() + "FL/mine.css");

  // The batch window's script page.
  app->frmBatch->memscript->setPlainText(QString(5000, 'x'));
  dialogs.save_answers = {BytesToText(dir.Slash() + "job.bws")};
  echoed.clear();
  {
    Scoped full(FullDiskAfter(4096));
    app->Guarded([&] { app->frmBatch->ToolButton1Click(); });
  }
  EXPECT_EQ(dir.Read("job.bws"), "old script");
  ExpectOneErrorNaming(dir.Slash() + "job.bws");
  EXPECT_TRUE(echoed.empty());  // no "Saved" for what was not saved

  // The console text saved by command.
  for (int i = 0; i < 200; ++i) Run("cn_print(line " + std::to_string(i) + ")");
  echoed.clear();
  {
    Scoped full(FullDiskAfter(100));
    Run("cn_save_data(" + dir.Slash() + "saved.txt)");
  }
  EXPECT_EQ(dir.Read("saved.txt"), "old console text\r\n");
  EXPECT_FALSE(Echoed("> Saved: " + dir.Slash() + "saved.txt"));
  ExpectOneErrorNaming(dir.Slash() + "saved.txt");

  // The HTML page of a directory listing, refused.
  TfrmHTMLFileList& list = *app->frmHTMLFileList;
  app->Show(&list);
  list.path->setText(BytesToText(dir.Slash()));
  dialogs.save_answers = {BytesToText(dir.Slash() + "page.htm")};
  {
    Scoped refused(Refuse("/page.htm"));
    list.btOK->click();
  }
  EXPECT_EQ(dir.Read("page.htm"), "old page");
  ExpectOneErrorNaming(dir.Slash() + "page.htm");
  EXPECT_TRUE(list.isVisible());
  EXPECT_FALSE(Echoed("> File list: " + dir.Slash() + "page.htm"));
  ExpectNoTemporaries();
  EXPECT_EQ(LeftoverTemporaries(dir.Slash() + "FL"), 0);
}

TEST_F(WriterFaultsTest, AHexDumpIsSavedWholeOrNotAtAll) {
  // Several blocks of the dump, so that they are formatted on worker threads.
  constexpr std::int64_t kSize = (std::int64_t{3} << 20) + 5;
  std::string bytes;
  for (std::int64_t i = 0; i < kSize; ++i) bytes += static_cast<char>(i * 7);
  const std::string data = dir.CreateFile("data.bin", bytes);
  dir.CreateFile("out.txt", "old dump");
  CreateApp();
  TfrmHexEditor& hex = *app->frmHexEditor;
  hex.show();
  hex.LoadHexDump(data);

  // The disk fills half-way through the dump.
  dialogs.save_answers = {BytesToText(dir.Slash() + "out.txt")};
  {
    Scoped full(FullDiskAfter(tools::DumpTextLength(kSize) / 2));
    app->Guarded([&] { hex.SAVE1Click(); });
  }
  EXPECT_EQ(dir.Read("out.txt"), "old dump");
  ExpectOneErrorNaming(dir.Slash() + "out.txt");
  EXPECT_FALSE(hex.Busy());

  // The viewed file cannot be read past its middle.
  dialogs.save_answers = {BytesToText(dir.Slash() + "out.txt")};
  echoed.clear();
  {
    Scoped error(ReadErrorAfter(kSize / 2));
    hex.SAVE1Click();
  }
  EXPECT_EQ(dir.Read("out.txt"), "old dump");
  EXPECT_TRUE(Echoed("> Error: Input/Output Error!"));
  EXPECT_TRUE(dialogs.errors.isEmpty());

  // Without faults the same save writes the whole dump.
  dialogs.save_answers = {BytesToText(dir.Slash() + "out.txt")};
  hex.SAVE1Click();
  EXPECT_EQ(dir.Read("out.txt"), FormatDump(bytes));
  ExpectNoTemporaries();
}

TEST_F(WriterFaultsTest, CopiesLeaveNoPartialTargetAndSayTheyFailed) {
  const std::string big(400000, 'b');
  dir.CreateFile("src/big.bin", big);
  dir.CreateDir("dst");
  CreateApp();
  const std::string src = dir.Slash() + "src/";
  const std::string dst = dir.Slash() + "dst/";
  app->CurrentDir = src;
  app->CurrentFile = src + "big.bin";

  // The copy window: a full disk, then a read error half-way through the source.
  TfrmCopyFile& single = *app->frmCopyFile;
  app->Show(&single);
  single.txtCopyTo->setText(BytesToText(dst + "big.bin"));
  const std::string failed = "> Error: Can't copy \"" + src + "big.bin\" to \"" + dst + "big.bin\"";
  for (const Plan& plan : {FullDiskAfter(200000), ReadErrorAfter(200000)}) {
    Scoped faults(plan);
    single.bntCopyClick();
    EXPECT_EQ(ConsoleLines().front(), failed);
    EXPECT_FALSE(dir.Exists("dst/big.bin"));
  }
  EXPECT_EQ(dialogs.critical_beeps, 2);
  EXPECT_TRUE(single.isVisible());

  // bw_copy of the listed files, with the disk full after the first.
  // The list shows the small file first, so the disk fills on the big one.
  dir.CreateFile("src/a_small.txt", "small");
  Run("bw_scan_dir(" + src + ")");
  echoed.clear();
  {
    // Room for the undo history's record of the copy and the small file, not the big one.
    Scoped full(FullDiskAfter(100000));
    Run("bw_copy(" + dst + ")");
  }
  EXPECT_TRUE(Echoed("> Error: Can't copy \"" + src + "big.bin\" to \"" + dst + "big.bin\""));
  EXPECT_TRUE(Echoed("> Copyed..."));
  EXPECT_FALSE(dir.Exists("dst/big.bin"));
  EXPECT_EQ(dir.Read("dst/a_small.txt"), "small");
  // Copying again passes over the existing copy quietly and now copies the big file whole.
  echoed.clear();
  Run("bw_copy(" + dst + ")");
  EXPECT_EQ(std::count(echoed.begin(), echoed.end(), "> Copyed..."), 1);
  EXPECT_EQ(dir.Read("dst/big.bin"), big);
}

TEST_F(WriterFaultsTest, RenamesThatAreRefusedOrLoseTheirFileChangeNothing) {
  const std::string work = dir.CreateDir("W") + "/";
  dir.CreateFile("W/a.txt", "A");
  dir.CreateFile("W/b.txt", "B");
  CreateApp();
  Run("bw_scan_dir(" + work + ")");
  TForm1& main = *app->Form1;
  const auto select = [&](const std::string& name) {
    const auto& entries = main.Entries();
    const auto it = std::find(entries.begin(), entries.end(), name);
    ASSERT_NE(it, entries.end()) << name;
    main.SetCurrentRow(static_cast<int>(it - entries.begin()));
    app->Guarded([&] { main.fListClick(); });
  };

  // The console command, refused.
  select("a.txt");
  {
    Scoped refused(Refuse("/c.txt"));
    Run("bw_rename(c.txt)");
  }
  EXPECT_EQ(ConsoleLines()[0], "> File can not be renamed for some reson");
  EXPECT_EQ(dir.Read("W/a.txt"), "A");
  EXPECT_FALSE(dir.Exists("W/c.txt"));

  // The main window's rename, whose file goes after the name was asked for.
  select("b.txt");
  dialogs.input_answers = {QString("d.txt")};
  {
    Scoped vanish(Vanish("/W/b.txt"));
    main.Rename1Click();
  }
  EXPECT_TRUE(Echoed("> Error: Can't rename file \"" + work + "b.txt\" to \"" + work + "d.txt\""));
  EXPECT_FALSE(dir.Exists("W/d.txt"));
  EXPECT_EQ(main.Entries(), (std::vector<std::string>{"../", "a.txt"}));
}

TEST_F(WriterFaultsTest, ABatchRunKeepsItsJournalWholeWhenTheDiskFills) {
  const std::string work = dir.CreateDir("W") + "/";
  for (const char* name : {"a", "b", "c"}) dir.CreateFile(std::string("W/") + name, name);
  dir.CreateFile("renames.bw", "previous journal\r\n");
  CreateApp();
  Run("bw_scan_dir(" + work + ")");
  TfrmBatch& batch = *app->frmBatch;
  batch.masktoren->setText("$NUM_$OFN");

  // No room even for the journal's first line: the old journal stays, the run is told it can
  // not be undone, and the renames themselves (which need no room) go on.
  const std::string journal = dir.Slash() + "renames.bw";
  const std::string warning = "> Warning: the rename journal \"" + journal +
                              "\" can not be written; this run can not be "
                              "undone";
  batch.filelest->addItems({"a"});
  echoed.clear();
  {
    Scoped full(FullDiskAfter(0));
    app->Guarded([&] { batch.butbtngoClick(); });
  }
  EXPECT_TRUE(Echoed(warning));
  EXPECT_EQ(dir.Read("renames.bw"), "previous journal\r\n");
  EXPECT_EQ(dir.Read("W/0_"), "a");

  // Room for the run line and the first pair but not the second: the pairs are written in one
  // piece, so the journal stays as it was rather than telling half a run.
  batch.filelest->clear();
  batch.filelest->addItems({"b", "c"});
  batch.masktoren->setText("x$NUM_$OFN");
  tools::JournalPair first;
  first.old_path = work + "b";
  first.new_path = work + "x0_";
  const auto first_size = static_cast<std::int64_t>(tools::JournalRunLine().size() +
                                                    tools::JournalPairLine(0, first).size());
  echoed.clear();
  {
    Scoped full(FullDiskAfter(first_size + 40));
    app->Guarded([&] { batch.butbtngoClick(); });
  }
  EXPECT_TRUE(Echoed(warning));
  EXPECT_EQ(dir.Read("W/x0_"), "b");
  EXPECT_EQ(dir.Read("W/x1_"), "c");
  EXPECT_EQ(dir.Read("renames.bw"), "previous journal\r\n");
}

}  // namespace

namespace {

TEST_F(WriterFaultsTest, ListsThatCouldNotBeReadAreNotSavedOverOnClosing) {
  dir.CreateFile("favapps.bw", "/usr/bin/a\r\n");
  dir.CreateFile("bmks.bw", "/home/ann/\r\n");
  dir.CreateFile("mask.bw", "*.cpp\r\n");
  {
    // Every list file refuses to be read while the windows load them.
    Scoped refused(Refuse(".bw"));
    CreateApp();
  }
  // Loading the bookmarks says so at once.
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("bmks.bw")) << dialogs.errors[0].toStdString();
  dialogs.errors.clear();
  for (QWidget* window :
       {static_cast<QWidget*>(app->frmBookMarks), static_cast<QWidget*>(app->MaskSelect),
        static_cast<QWidget*>(app->Optionz)}) {
    // Shown as it stands, without loading its list again; the options go last, as applying them
    // runs every window's creation step, which reads the lists anew.
    window->show();
    window->close();
  }
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/a\r\n");
  EXPECT_EQ(dir.Read("bmks.bw"), "/home/ann/\r\n");
  EXPECT_EQ(dir.Read("mask.bw"), "*.cpp\r\n");
  EXPECT_TRUE(Echoed("> Warning: Favourite applications not saved, " + dir.Slash() +
                     "favapps.bw could not be read"));
  EXPECT_TRUE(
      Echoed("> Warning: Bookmarks not saved, " + dir.Slash() + "bmks.bw could not be read"));
  EXPECT_TRUE(Echoed("> Warning: Masks not saved, " + dir.Slash() + "mask.bw could not be read"));
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();

  // Read again when the options are applied, the favourites are written as usual.
  app->Show(app->Optionz);
  app->Optionz->close();
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/a\r\n");
  EXPECT_EQ(std::count(echoed.begin(), echoed.end(),
                       "> Warning: Favourite applications not saved, " + dir.Slash() +
                           "favapps.bw could not be read"),
            1);
}

TEST_F(WriterFaultsTest, AnUndoOnAFullDiskRenamesBackAndSaysTheJournalIsStale) {
  const std::string work = dir.CreateDir("W") + "/";
  dir.CreateFile("W/a.txt", "a");
  CreateApp();
  Run("bw_scan_dir(" + work + ")");
  TfrmBatch& batch = *app->frmBatch;
  batch.filelest->addItems({"a.txt"});
  app->Guarded([&] { batch.butbtngoClick(); });
  ASSERT_EQ(dir.Read("W/0_a"), "a");
  const std::string journal = dir.Read("renames.bw");

  echoed.clear();
  {
    Scoped full(FullDiskAfter(0));
    app->Guarded([&] { batch.btnUndoClick(); });
  }
  EXPECT_EQ(dir.Read("W/a.txt"), "a");
  EXPECT_FALSE(dir.Exists("W/0_a"));
  EXPECT_TRUE(
      Echoed("> Warning: the rename journal \"" + dir.Slash() + "renames.bw\" can not be written"));
  EXPECT_TRUE(Echoed("> Renamed back: 1 of 1"));
  EXPECT_EQ(dir.Read("renames.bw"), journal);  // whole, not half marked
  for (const QString& error : dialogs.errors) EXPECT_FALSE(error.contains("renames.bw"));
}

}  // namespace

namespace {

TEST_F(WriterFaultsTest, ADeletionThatIsRefusedKeepsTheFileAndSaysSo) {
  dir.CreateFile("list/keep.txt", "kept");
  dir.CreateFile("list/gone.txt", "gone");
  CreateApp();
  const std::string list = dir.Path() + "/list/";
  Run("bw_scan_dir(" + list + ")");
  Run("bw_sel_all()");
  {
    Scoped refused(Refuse("keep.txt"));
    Run("bw_del_sel()");
  }
  EXPECT_EQ(dir.Read("list/keep.txt"), "kept");
  EXPECT_EQ(dir.Read("list/gone.txt"), "<missing>");
  EXPECT_TRUE(Echoed("> Error: Can't delet file \"" + list + "keep.txt"));
  EXPECT_TRUE(Echoed("> Deleted: " + list + "gone.txt\""));
}

}  // namespace
