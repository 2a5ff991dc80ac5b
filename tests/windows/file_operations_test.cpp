// The main window's file operations: deleting, creating, renaming, and the windows they hand
// entries to; in a listed directory and among search results.

#include <unistd.h>
#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>

#include <algorithm>
#include <filesystem>

#include "app/drive_select.h"
#include "app/main_window.h"
#include "config/options_window.h"
#include "console/console_window.h"
#include "export/html_file_list.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "tools/copy_windows.h"
#include "tools/hex_viewer.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

class FileOperationsTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  const std::vector<std::string>& Listed() { return Main().Entries(); }
  int RowOf(const std::string& entry) {
    const auto& e = Listed();
    const auto at = std::find(e.begin(), e.end(), entry);
    EXPECT_NE(at, e.end()) << entry;
    return static_cast<int>(at - e.begin());
  }
  // Puts the cursor on one entry.
  void Point(const std::string& entry) { Main().SetCurrentRow(RowOf(entry)); }
  // Selects exactly these entries.
  void Select(const std::vector<std::string>& entries) {
    Main().fList->clearSelection();
    for (const std::string& entry : entries) {
      Main().fList->selectionModel()->select(Main().fListModel->index(RowOf(entry)),
                                             QItemSelectionModel::Select);
    }
  }
  void AskBeforeDeleting(bool ask) { app->Optionz->ondel->setChecked(ask); }
  bool Printed(const std::string& line) {
    const auto lines = ConsoleLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::string Work() { return dir.Slash() + "work/"; }
  // The listed entries among `names`, in list order.
  QStringList InListOrder(const std::vector<std::string>& names) {
    QStringList items;
    for (const std::string& entry : Listed()) {
      if (std::find(names.begin(), names.end(), entry) != names.end()) items << BytesToText(entry);
    }
    return items;
  }
  // A directory with two files and a subdirectory, listed.
  void ListWork() {
    dir.CreateFile("work/a.txt", "a");
    dir.CreateFile("work/b.txt", "b");
    dir.CreateDir("work/sub");
    CreateApp();
    Scan(Work());
  }
};

TEST_F(FileOperationsTest, DeleteAsksWhenTheOptionsSaySo) {
  UseTestLanguage();
  ListWork();
  Point("a.txt");
  dialogs.message_answers = {MsgAnswer::kNo};
  Main().Delete1Click();
  EXPECT_EQ(dialogs.asked.last().toStdString(), "message: E29: E4\n\r" + Work() + "a.txt");
  EXPECT_TRUE(dir.Exists("work/a.txt"));

  Point("a.txt");
  Main().DELETE2->trigger();  // the pop-up entry, answered Yes
  EXPECT_FALSE(dir.Exists("work/a.txt"));
  EXPECT_EQ(dialogs.beeps, 0);

  AskBeforeDeleting(false);
  Point("b.txt");
  const qsizetype asked = dialogs.asked.size();
  Main().Delete1->trigger();
  EXPECT_FALSE(dir.Exists("work/b.txt"));
  EXPECT_EQ(dialogs.asked.size(), asked);
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(Listed().size(), 2u);  // "../" and "sub/"
}

TEST_F(FileOperationsTest, DeleteSkipsDirectoriesAndReportsFailures) {
  ListWork();
  AskBeforeDeleting(false);
  Main().SetCurrentRow(-1);
  Main().Delete1Click();
  EXPECT_EQ(dialogs.critical_beeps, 2);

  for (const char* entry : {"sub/", "../"}) {
    Point(entry);
    Main().Delete1Click();
    EXPECT_EQ(ConsoleLines()[1], "> Warning: Directories are not deleted, skipped: 1");
  }
  EXPECT_TRUE(dir.Exists("work/sub"));

  // A file that vanished since the listing cannot be deleted, and says so.
  Point("a.txt");
  unlink((Work() + "a.txt").c_str());
  Run("bw_del_this()");
  EXPECT_TRUE(Printed("> Error: Can't delet file \"" + Work() + "a.txt"));
  EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(FileOperationsTest, DeleteSelectionTakesOnlyTheFilesAndCountsTheRest) {
  ListWork();
  AskBeforeDeleting(false);
  Select({"../", "a.txt", "sub/", "b.txt"});
  Run("bw_del_sel()");
  EXPECT_FALSE(dir.Exists("work/a.txt"));
  EXPECT_FALSE(dir.Exists("work/b.txt"));
  EXPECT_TRUE(dir.Exists("work/sub"));
  EXPECT_TRUE(Printed("> Deleted: " + Work() + "b.txt\""));
  EXPECT_EQ(ConsoleLines().front(), "> " + Work());  // the scan ran last
  EXPECT_TRUE(Printed("> Warning: Directories are not deleted, skipped: 2"));
}

TEST_F(FileOperationsTest, SearchResultsAreHandledByTheirFullPaths) {
  const std::string a = dir.CreateFile("x/a.txt", "a");
  const std::string b = dir.CreateFile("y/b.txt", "b");
  const std::string c = dir.CreateFile("y/c.txt", "c");
  CreateApp();
  AskBeforeDeleting(false);
  app->SearchResults = std::vector<std::string>{a, b, c};
  Scan("BW:SEARCHRES");

  Select({a});
  Main().DeleteAll1Click();
  EXPECT_FALSE(dir.Exists("x/a.txt"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{b, c}));

  Point(b);
  Main().Delete1Click();
  EXPECT_FALSE(dir.Exists("y/b.txt"));

  Point(c);
  dialogs.input_answers = {QString("d.txt")};
  Main().Rename1Click();
  EXPECT_EQ(dir.Read("y/d.txt"), "c");
  EXPECT_EQ(Listed(), (std::vector<std::string>{dir.Slash() + "y/d.txt"}));

  Point(dir.Slash() + "y/d.txt");
  Main().ViewAsHex1Click();
  EXPECT_EQ(app->frmHexEditor->LoadedPath(), dir.Slash() + "y/d.txt");
  Main().mnuCopyFileClick();
  EXPECT_EQ(app->CurrentFile, dir.Slash() + "y/d.txt");
}

TEST_F(FileOperationsTest, CreateNeverEmptiesAnExistingFile) {
  UseTestLanguage();
  ListWork();
  dialogs.input_answers = {QString("a.txt"), QString("sub"), QString("new.txt")};
  Main().CreateEmptyFile1Click();
  EXPECT_EQ(dialogs.asked.count("message: Error: File olready exist, please choose another name"),
            2);
  EXPECT_TRUE(dialogs.asked.contains("input: E79: E80"));
  EXPECT_EQ(dir.Read("work/a.txt"), "a");
  EXPECT_EQ(dir.Read("work/new.txt"), "");
  EXPECT_NE(std::find(Listed().begin(), Listed().end(), "new.txt"), Listed().end());

  Main().CreateEmptyFile1Click();  // cancelled: nothing made
  dialogs.input_answers = {QString("nodir/x.txt")};
  Main().CreateEmptyFile1Click();
  EXPECT_EQ(dialogs.asked.last().toStdString(),
            "message: E1: Error: Can't create file \"" + Work() + "nodir/x.txt\"");
}

TEST_F(FileOperationsTest, RenameMovesOnceAndRefusesDirectories) {
  ListWork();
  Point("sub/");
  Main().Rename1Click();
  EXPECT_EQ(ConsoleLines().front(), "> " + Work());
  EXPECT_TRUE(Printed("> Warning: Directories are not renamed: " + Work() + "sub/"));
  EXPECT_TRUE(dir.Exists("work/sub"));
  EXPECT_FALSE(dialogs.asked.join("|").contains("input:"));

  // Onto a taken name: asked again; the taken file keeps its content.
  Point("a.txt");
  dialogs.input_answers = {QString("b.txt"), QString("c.txt")};
  Main().Rename1->trigger();
  EXPECT_EQ(dir.Read("work/b.txt"), "b");
  EXPECT_EQ(dir.Read("work/c.txt"), "a");
  EXPECT_FALSE(dir.Exists("work/a.txt"));

  // A source that vanished: nothing changes and the user is told.
  Point("c.txt");
  unlink((Work() + "c.txt").c_str());
  dialogs.input_answers = {QString("d.txt")};
  Main().Rename1Click();
  EXPECT_FALSE(dir.Exists("work/d.txt"));
  EXPECT_TRUE(
      Printed("> Error: Can't rename file \"" + Work() + "c.txt\" to \"" + Work() + "d.txt\""));
}

TEST_F(FileOperationsTest, WindowsReceiveTheirData) {
  ListWork();
  Select({"a.txt", "b.txt"});
  Main().BatchRename1->trigger();
  EXPECT_EQ(Items(app->frmBatch->filelest), InListOrder({"a.txt", "b.txt"}));
  Select({"b.txt"});
  Main().BatchRename1Click();  // a second hand-off replaces the list
  EXPECT_EQ(Items(app->frmBatch->filelest), QStringList({"b.txt"}));
  EXPECT_TRUE(app->frmBatch->isVisible());

  Select({"a.txt", "b.txt"});
  Main().mnuCopyFile->trigger();
  Main().mnuCopyFileClick();  // a second one appends
  EXPECT_EQ(Items(app->frmMassCopy->ArrToCop),
            InListOrder({"a.txt", "b.txt"}) + InListOrder({"a.txt", "b.txt"}));
  // The single-file copy takes the entry under the cursor, as a right click leaves it.
  Select({"a.txt"});
  Point("a.txt");
  Main().mnuCopyFileClick();
  EXPECT_TRUE(app->frmCopyFile->isVisible());
  EXPECT_EQ(app->CurrentFile, Work() + "a.txt");

  Point("b.txt");
  Main().mnuListViewHex->trigger();
  EXPECT_EQ(app->frmHexEditor->LoadedPath(), Work() + "b.txt");
  EXPECT_TRUE(app->frmHexEditor->isVisible());

  Main().SEARCH1->trigger();
  EXPECT_EQ(app->frmSearch->txtPathSea->text().toStdString(), Work());
  Main().SearchLine->setText("/typed/");
  Main().HTMLLIST1->trigger();
  EXPECT_EQ(app->frmHTMLFileList->path->text(), "/typed/");
  Main().ToolButton2->click();
  EXPECT_TRUE(app->frmDriveSel->isVisible());
}

}  // namespace

namespace {

class TrashDeleteTest : public FileOperationsTest {
 protected:
  bool Trashed(const std::string& name) { return data_home.Exists("Trash/files/" + name); }
};

TEST_F(TrashDeleteTest, DeletingMovesToTheTrashUnlessAskedToDeleteForEver) {
  dir.CreateFile("work/c.txt", "c");
  dir.CreateFile("work/d.txt", "d");
  ListWork();
  AskBeforeDeleting(false);
  Point("a.txt");
  Main().Delete1->trigger();
  EXPECT_FALSE(dir.Exists("work/a.txt"));
  EXPECT_TRUE(Trashed("a.txt"));
  EXPECT_NE(data_home.Read("Trash/info/a.txt.trashinfo").find("Path=" + Work() + "a.txt\n"),
            std::string::npos);

  Select({"b.txt", "sub/"});
  Run("bw_del_sel()");
  EXPECT_TRUE(Printed("> Deleted: " + Work() + "b.txt\""));
  EXPECT_TRUE(Trashed("b.txt"));
  EXPECT_EQ(InListOrder({"a.txt", "b.txt"}), QStringList());

  Point("c.txt");
  Main().DeleteForEver1->trigger();  // Shift+Delete
  EXPECT_FALSE(dir.Exists("work/c.txt"));
  EXPECT_FALSE(Trashed("c.txt"));
  EXPECT_EQ(Main().DeleteForEver1->shortcut(), QKeySequence("Shift+Del"));

  app->Optionz->chxTrash->setChecked(false);
  Point("d.txt");
  Main().Delete1->trigger();
  EXPECT_FALSE(dir.Exists("work/d.txt"));
  EXPECT_FALSE(Trashed("d.txt"));
}

TEST_F(TrashDeleteTest, WithoutAUsableTrashItAsksOnceBeforeDeletingForEver) {
  TempDir elsewhere;
  ASSERT_EQ(symlink(elsewhere.Path().c_str(), (data_home.Path() + "/Trash").c_str()), 0);
  ListWork();
  AskBeforeDeleting(false);
  Select({"a.txt", "b.txt"});
  dialogs.message_answers = {MsgAnswer::kNo};
  Main().DeleteAll1Click();
  EXPECT_EQ(dialogs.asked.size(), 1);
  EXPECT_NE(dialogs.asked.last().indexOf("Delete for ever instead?"), -1);
  EXPECT_TRUE(dir.Exists("work/a.txt"));
  EXPECT_TRUE(dir.Exists("work/b.txt"));
  EXPECT_TRUE(Printed("> Error: Can't delet file \"" + Work() + "b.txt"));
  EXPECT_TRUE(Printed("> Warning: the trash can not take \"" + Work() + "a.txt\": " +
                      data_home.Path() + "/Trash is not a directory of its own (a link or a file)"))
      << ::testing::PrintToString(ConsoleLines());

  Select({"a.txt", "b.txt"});
  dialogs.message_answers = {MsgAnswer::kYes};
  Main().DeleteAll1Click();
  EXPECT_EQ(dialogs.asked.size(), 2);
  EXPECT_FALSE(dir.Exists("work/a.txt"));
  EXPECT_FALSE(dir.Exists("work/b.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

}  // namespace

namespace {

class UndoTest : public TrashDeleteTest {
 protected:
  std::string Caption() {
    Main().UpdateUndoCaption();
    return TextToBytes(Main().Undo1->text());
  }
};

TEST_F(UndoTest, TakesBackEachChangeMostRecentFirstAlsoAfterARestart) {
  ListWork();
  AskBeforeDeleting(false);
  EXPECT_EQ(Main().Undo1->shortcut(), QKeySequence("Ctrl+Z"));
  Point("a.txt");
  dialogs.input_answers = {QString("report.txt")};
  Main().Rename1Click();
  ASSERT_TRUE(dir.Exists("work/report.txt"));
  dialogs.input_answers = {QString("new.txt")};
  Main().CreateEmptyFile1Click();
  ASSERT_TRUE(dir.Exists("work/new.txt"));
  Point("b.txt");
  Main().Delete1Click();
  ASSERT_FALSE(dir.Exists("work/b.txt"));

  EXPECT_EQ(Caption(), "Undo delete of b.txt");
  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("work/b.txt"), "b");
  EXPECT_FALSE(Trashed("b.txt"));
  EXPECT_EQ(Caption(), "Undo creation of new.txt");
  Main().Undo1->trigger();
  EXPECT_FALSE(dir.Exists("work/new.txt"));
  EXPECT_TRUE(Trashed("new.txt"));

  app.reset();
  CreateApp();
  EXPECT_EQ(Caption(), "Undo rename of a.txt");
  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("work/a.txt"), "a");
  EXPECT_FALSE(dir.Exists("work/report.txt"));
  EXPECT_TRUE(Printed("> Undone: rename of a.txt"));
  EXPECT_EQ(Caption(), "Undo");
  EXPECT_FALSE(Main().Undo1->isEnabled());
  Main().Undo1Click();
  EXPECT_TRUE(Printed("> Warning: there is nothing to undo"));
}

TEST_F(UndoTest, LeavesChangedFilesAloneAndRefusesADamagedHistory) {
  ListWork();
  AskBeforeDeleting(false);
  Point("a.txt");
  dialogs.input_answers = {QString("r.txt")};
  Main().Rename1Click();
  dir.CreateFile("work/r.txt", "written since");
  dir.CreateFile("work/b2.txt", "x");
  Point("b.txt");
  Main().Delete1Click();
  dir.CreateFile("work/b.txt", "newcomer");  // the old place taken meanwhile

  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("work/b.txt"), "newcomer");
  EXPECT_TRUE(Trashed("b.txt"));
  EXPECT_TRUE(Printed("> Warning: Undo delete of b.txt left undone: \"" + Work() +
                      "b.txt\" is taken by another file"));
  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("work/r.txt"), "written since");
  EXPECT_FALSE(dir.Exists("work/a.txt"));

  const std::string history = dir.Slash() + "undo.bw";
  for (const std::string& damaged :
       {std::string("RENAME\t1\t2\t3\t4\t5\t/elsewhere/a\r\nnonsense\r\n"),
        std::string("RENAME\t1\t2\t3\t4\t5\trelative\t/x/y\r\n")}) {
    dir.CreateFile("undo.bw", damaged);
    EXPECT_EQ(Caption(), "Undo");
    EXPECT_TRUE(Main().Undo1->isEnabled());  // so that it can say why
    Main().Undo1->trigger();
    EXPECT_TRUE(Printed("> Error: the undo history \"" + history +
                        "\" can not be read; nothing is undone"));
    EXPECT_EQ(dir.Read("undo.bw"), damaged);
  }
}

}  // namespace
