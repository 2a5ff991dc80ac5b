// The main window: start-up from the settings, listing, the tree, clicks and closing.

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <algorithm>

#include "app/main_window.h"
#include "config/options_window.h"
#include "console/console_window.h"
#include "platform/paths.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class MainWindowTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  QString Panel(int i) { return Main().StatusPanel(i)->text(); }
  const std::vector<std::string>& Listed() { return Main().Entries(); }
  int RowOf(const std::string& entry) {
    const auto& e = Listed();
    return static_cast<int>(std::find(e.begin(), e.end(), entry) - e.begin());
  }
  std::string Config() { return dir.Read("config.ini"); }
  using WindowTest::ConsoleLines;
};

TEST_F(MainWindowTest, StartsWithDefaultsWithoutSettingsOrLanguage) {
  dir.CreateFile("a.txt");
  dir.CreateDir("sub");
  CreateApp();
  // No language file: every caption is its default text.
  EXPECT_EQ(Main().File1->title(), "string_11");
  EXPECT_EQ(Main().Default1->text(), "string_40...");
  EXPECT_EQ(Main().Mask1->text(), "string_23 *.*");
  EXPECT_EQ(Main().windowTitle(), "Brackwell v0.1.1.25 (Little Steps)");
  // Black on white, Arial 8, tree and bookmarks hidden.
  for (QWidget* w : {static_cast<QWidget*>(Main().fList), static_cast<QWidget*>(Main().DirList),
                     static_cast<QWidget*>(Main().bookmarkz)}) {
    EXPECT_EQ(w->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(w->palette().color(QPalette::Text), QColor(0, 0, 0));
  }
  EXPECT_EQ(Main().fList->font().family(), "Arial");
  EXPECT_EQ(Main().fList->font().pointSize(), 8);
  EXPECT_TRUE(Main().DirTree->isHidden());
  EXPECT_TRUE(Main().bookmarkz->isHidden());
  EXPECT_FALSE(Main().DIRTREE1->isChecked());
  // The program directory is listed through the tree's notification, directories first.
  EXPECT_EQ(app->CurrentDir, dir.Slash());
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), dir.Slash());
  EXPECT_EQ(Sorted(Listed()), (std::vector<std::string>{"../", "a.txt", "sub/"}));
  EXPECT_EQ(Listed().back(), "a.txt");
  EXPECT_EQ(Panel(0), "string_53 3");
  // Listing at start writes nothing to the settings.
  EXPECT_FALSE(dir.Exists("config.ini"));
  EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MainWindowTest, GarbageSettingsFilesGiveTheDefaults) {
  const std::string garbage[] = {std::string("\0\x01\xff[\x80]=\n\r\0", 10),
                                 std::string(10 * 1024 * 1024, 'x'),
                                 "no sections=1\r\nfsize=20\r\n"};
  for (const std::string& content : garbage) {
    TempDir fresh;
    dir.CreateFile("config.ini", content);
    CreateApp();
    EXPECT_EQ(app->CurrentDir, dir.Slash());
    EXPECT_EQ(Main().fList->font().pointSize(), 8);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    app.reset();
  }
}

TEST_F(MainWindowTest, AColourThatIsNoNumberStopsTheCreationStepButNotTheProgram) {
  UseTestLanguage();
  dir.CreateFile("config.ini",
                 "[Lang]\r\nFile=English.ini\r\n[interface]\r\nbgcg=abc\r\n"
                 "DirTree=1\r\nfsize=12\r\n[fsys]\r\nLastDir=/\r\n");
  CreateApp();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_EQ(dialogs.errors[0], "'abc' is not a valid integer value");
  // Steps before the colours ran; the last directory (a later step) was never read.
  EXPECT_EQ(Main().File1->title(), "E11");
  EXPECT_FALSE(Main().DirTree->isHidden());
  EXPECT_EQ(Main().fList->font().pointSize(), 12);
  EXPECT_NE(app->CurrentDir, "/");
  // The program still works.
  Scan(dir.Slash());
  EXPECT_EQ(app->CurrentDir, dir.Slash());
}

TEST_F(MainWindowTest, ColoursAndStylesComeFromTheSettings) {
  dir.CreateFile("config.ini",
                 "[interface]\r\nbgcr=0\r\nbgcg=128\r\nbgcb=511\r\nttcr=-1\r\nfontb=1\r\n"
                 "fonti=1\r\nbmatframe=1\r\nfont=Courier\r\n");
  CreateApp();
  EXPECT_EQ(Main().fList->palette().color(QPalette::Base), QColor(0, 128, 255));
  EXPECT_EQ(Main().bookmarkz->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_TRUE(Main().DirList->font().bold());
  EXPECT_TRUE(Main().bookmarkz->font().italic());
  EXPECT_EQ(Main().DirList->font().family(), "Courier");
  EXPECT_EQ(Main().bookmarkz->font().family(), "Courier");
  EXPECT_FALSE(Main().bookmarkz->isHidden());
  EXPECT_TRUE(Main().SHOWBOOKMARKS1->isChecked());
}

TEST_F(MainWindowTest, ScanListsDirectoriesFirstAndHidesHiddenEntries) {
  UseTestLanguage();
  const std::string list = dir.CreateDir("list");
  for (const char* f : {"b.txt", "a.log", ".hidden", "noext"})
    dir.CreateFile(std::string("list/") + f);
  dir.CreateDir("list/Docs");
  dir.CreateDir("list/.git");
  CreateApp();
  Scan(list + "/");
  auto entries = Listed();
  ASSERT_EQ(entries.size(), 5u);
  // Directories (the parent included) come before every file.
  EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 2).size(), 2u);
  EXPECT_TRUE((entries[0] == "../" && entries[1] == "Docs/") ||
              (entries[0] == "Docs/" && entries[1] == "../"));
  std::vector<std::string> files(entries.begin() + 2, entries.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"a.log", "b.txt", "noext"}));
  // The tree's notification listed it a second time; its wording has the space.
  EXPECT_EQ(Panel(0), "E53 5");
  EXPECT_EQ(Panel(1), BytesToText(list + "/"));
  EXPECT_EQ(app->CurrentDir, list + "/");
  EXPECT_EQ(ConsoleLines().front(), "> " + list + "/");
  EXPECT_NE(Config().find("LastDir=" + list + "/"), std::string::npos);

  // A mask hides the directories that do not match, the parent included.
  app->FileMask = "*.txt";
  Scan(list + "/");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"b.txt"}));
  app->FileMask = "*.none";
  Scan(list + "/");
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Panel(0), "E53 0");
}

TEST_F(MainWindowTest, TheRootIsListedOnceWhenTheTreeStandsThere) {
  UseTestLanguage();
  CreateApp();
  Scan("/");
  EXPECT_EQ(std::count(Listed().begin(), Listed().end(), "../"), 0);
  EXPECT_TRUE(Panel(0).startsWith("E53 "));  // the tree moved: its notification listed
  Scan("/");
  // The tree stood there: the scan's own wording, which keeps the blank as well.
  EXPECT_EQ(Panel(0), "E53 " + QString::number(Listed().size()));
  EXPECT_EQ(app->CurrentDir, "/");
}

TEST_F(MainWindowTest, ADirectoryTypedWithoutItsDelimiterEndsListedProperly) {
  UseTestLanguage();
  dir.CreateDir("Docs");
  dir.CreateFile("Docs/inside.txt");
  dir.CreateFile("Docs2.txt");
  CreateApp();
  Scan(dir.Path() + "/Docs");
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), dir.Path() + "/Docs/");
  EXPECT_EQ(app->CurrentDir, dir.Path() + "/Docs/");
  EXPECT_EQ(Sorted(Listed()), (std::vector<std::string>{"../", "inside.txt"}));
}

TEST_F(MainWindowTest, AMissingDirectoryIsReportedAndTheTreeDirectoryListedAgain) {
  UseTestLanguage();
  dir.CreateFile("kept.txt");
  CreateApp();
  Scan(dir.Path() + "/nothere/");
  ASSERT_FALSE(dialogs.asked.isEmpty());
  EXPECT_EQ(dialogs.asked.last(), "message: E1: E9");
  EXPECT_EQ(app->CurrentDir, dir.Slash());
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), dir.Slash());
  EXPECT_NE(std::find(Listed().begin(), Listed().end(), "kept.txt"), Listed().end());
  EXPECT_NE(Config().find("LastDir=" + dir.Slash()), std::string::npos);
}

TEST_F(MainWindowTest, SearchResultsPseudoDirectory) {
  UseTestLanguage();
  CreateApp();
  const auto before = Listed();
  Scan("bw:searchres");
  EXPECT_EQ(dialogs.asked.last(), "message: E1: E92");
  EXPECT_EQ(Listed(), before);
  const auto lines = ConsoleLines();
  EXPECT_EQ(lines[0], "> Asked for last search result");
  EXPECT_EQ(lines[1], "> No search results");

  const std::string a = dir.CreateFile("x/a.txt"), b = dir.CreateFile("y/b.txt");
  app->SearchResults = std::vector<std::string>{a, b, dir.Slash() + "gone.txt"};
  Scan("Bw:SearchRes");
  // A found file that is no longer there is not shown.
  EXPECT_EQ(Listed(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(app->CurrentDir, "");
  EXPECT_EQ(ConsoleLines()[0], "> Asked for last search result");
}

TEST_F(MainWindowTest, ClicksShowDetailsAndDoubleClicksEnterDirectories) {
  UseTestLanguage();
  dir.CreateFile("three.bin", std::string(3000, 'x'));
  dir.CreateDir("inner");
  dir.CreateFile("inner/deep.txt");
  CreateApp();
  Main().SetCurrentRow(RowOf("three.bin"));
  Main().fListClick();
  EXPECT_EQ(app->CurrentFile, dir.Slash() + "three.bin");
  EXPECT_TRUE(Panel(2).startsWith("E49 : 2 E78; E50 : ")) << Panel(2).toStdString();
  EXPECT_TRUE(Panel(2).endsWith(";"));
  Main().SetCurrentRow(RowOf("../"));
  Main().fListClick();
  EXPECT_EQ(Panel(2), "E77");
  Main().SetCurrentRow(RowOf("inner/"));
  Main().fListClick();
  EXPECT_EQ(Panel(2), "E66");

  Main().fListDblClick();
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "inner/");
  EXPECT_EQ(Sorted(Listed()), (std::vector<std::string>{"../", "deep.txt"}));
  Main().SetCurrentRow(RowOf("../"));
  Main().fListDblClick();
  EXPECT_EQ(app->CurrentDir, dir.Slash());

  // No current entry: nothing happens.
  Main().REMOVECURSOR1Click();
  EXPECT_EQ(Main().CurrentRow(), -1);
  app->CurrentFile = "unchanged";
  Main().fListClick();
  EXPECT_EQ(app->CurrentFile, "unchanged");
}

TEST_F(MainWindowTest, NamesThatAreNotUtf8KeepTheirBytes) {
  const std::string name = "caf\xe9.txt";
  dir.CreateFile(name, "bytes");
  CreateApp();
  const int row = RowOf(name);
  ASSERT_LT(row, static_cast<int>(Listed().size()));
  Main().SetCurrentRow(row);
  Main().fListClick();
  EXPECT_EQ(app->CurrentFile, dir.Slash() + name);
  // The name went through the widget text and back unchanged.
  EXPECT_EQ(TextToBytes(
                Main().fListModel->data(Main().fListModel->index(row), Qt::DisplayRole).toString()),
            name);
}

TEST_F(MainWindowTest, SelectionCommandsAndPanelToggles) {
  dir.CreateFile("a");
  dir.CreateFile("b");
  CreateApp();
  Main().SELECTALL1Click();
  EXPECT_EQ(Main().SelectedRows().size(), Listed().size());
  Main().Deselect1Click();
  EXPECT_TRUE(Main().SelectedRows().empty());
  Main().DIRTREE1Click();
  EXPECT_FALSE(Main().DirTree->isHidden());
  EXPECT_TRUE(Main().DIRTREE1->isChecked());
  Main().DIRTREE1->trigger();  // through the menu: one flip, not two
  EXPECT_TRUE(Main().DirTree->isHidden());
  EXPECT_FALSE(Main().DIRTREE1->isChecked());
  Main().SHOWBOOKMARKS1->trigger();
  EXPECT_FALSE(Main().bookmarkz->isHidden());
}

TEST_F(MainWindowTest, ClosingAsksThenSavesThreeSettingsAndTheBookmarks) {
  dir.CreateFile("config.ini", "[interface]\r\nDirTree=0\r\n");
  CreateApp();
  Main().DIRTREE1Click();
  Main().SearchLine->setText("/typed/not/listed/");
  ASSERT_TRUE(app->Optionz->onexit->isChecked());
  dialogs.message_answers = {MsgAnswer::kNo};
  EXPECT_FALSE(Main().close());
  EXPECT_FALSE(Main().closed());
  EXPECT_FALSE(dir.Exists("bmks.bw"));
  EXPECT_EQ(Config().find("LastDir"), std::string::npos);

  dialogs.message_answers = {MsgAnswer::kYes};
  EXPECT_TRUE(Main().close());
  EXPECT_TRUE(Main().closed());
  EXPECT_NE(Config().find("LastDir=/typed/not/listed/"), std::string::npos);
  EXPECT_NE(Config().find("DirTree=1"), std::string::npos);
  EXPECT_NE(Config().find("bmatframe=0"), std::string::npos);
  EXPECT_EQ(dir.Read("bmks.bw"), "/\r\n");
}

TEST_F(MainWindowTest, ExitSavesNothing) {
  dir.CreateFile("config.ini", "[interface]\r\nDirTree=0\r\n");
  CreateApp();
  Main().DIRTREE1Click();
  Main().Exit1Click();
  EXPECT_TRUE(Main().closed());
  EXPECT_EQ(Config(), "[interface]\r\nDirTree=0\r\n");
  EXPECT_FALSE(dir.Exists("bmks.bw"));
}

TEST_F(MainWindowTest, RepeatedCreationAddsFavouritesOnce) {
  dir.CreateFile("favapps.bw", "/bin/A\r\n/bin/B\r\n/bin/a\r\n/bin/C\r\n");
  CreateApp();
  Main().FormCreate();
  QStringList captions;
  for (QAction* a : Main().FAVAPPS1->actions()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"/bin/C", "/bin/B", "/bin/A", "", "string_40..."}));
}

TEST_F(MainWindowTest, EnterInThePathLineScans) {
  const std::string sub = dir.CreateDir("sub");
  CreateApp();
  Main().SearchLine->setText(BytesToText(sub + "/"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Main().SearchLine, &enter);
  EXPECT_EQ(app->CurrentDir, sub + "/");
  // Other keys only edit.
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(Main().SearchLine, &letter);
  EXPECT_EQ(app->CurrentDir, sub + "/");
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), sub + "/x");
}

TEST_F(MainWindowTest, UpButtonGoesToTheParent) {
  const std::string deep = dir.CreateDir("one/two");
  CreateApp();
  Scan(deep + "/");
  Main().btnUpOnDirClick();
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "one/");
  // Without its final delimiter the path stays as it is.
  Main().SearchLine->setText("/no/delimiter");
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), "/no/delimiter");
}

TEST_F(MainWindowTest, ATreeDirectoryThatVanishedIsReported) {
  UseTestLanguage();
  const std::string gone = dir.CreateDir("gone");
  CreateApp();
  Scan(gone + "/");
  ASSERT_EQ(app->CurrentDir, gone + "/");
  rmdir(gone.c_str());
  Scan(gone + "/");
  // The scan reports the missing path; the tree, still there, cannot list its own directory.
  EXPECT_TRUE(dialogs.asked.contains("message: E1: E9"));
  EXPECT_EQ(dialogs.asked.last(), "message: E2: E4");
  EXPECT_EQ(Panel(1), "E5");
}

TEST_F(MainWindowTest, DeletingSelectedFilesSkipsDirectoriesAndReportsEach) {
  UseTestLanguage();
  dir.CreateFile("work/a.txt", "a");
  dir.CreateFile("work/b.txt", "b");
  dir.CreateDir("work/keepdir");
  CreateApp();
  Scan(dir.Slash() + "work/");
  Main().SELECTALL1Click();
  dialogs.message_answers = {MsgAnswer::kNo};
  Main().DeleteAll1Click();
  EXPECT_TRUE(dir.Exists("work/a.txt"));
  EXPECT_EQ(Main().SelectedRows().size(), Listed().size());  // no scan after No

  Main().DeleteAll1Click();  // answered Yes
  EXPECT_FALSE(dir.Exists("work/a.txt"));
  EXPECT_FALSE(dir.Exists("work/b.txt"));
  EXPECT_TRUE(dir.Exists("work/keepdir"));
  const auto lines = ConsoleLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "> Deleted: " + dir.Slash() + "work/a.txt\""),
            lines.end());
  EXPECT_EQ(Sorted(Listed()), (std::vector<std::string>{"../", "keepdir/"}));
}

TEST_F(MainWindowTest, RenameAsksAgainForATakenNameAndNeverReplacesIt) {
  dir.CreateFile("old.txt", "old content");
  dir.CreateFile("taken.txt", "taken content");
  CreateApp();
  Main().SetCurrentRow(RowOf("old.txt"));
  dialogs.input_answers = {QString("taken.txt"), QString("new.txt")};
  Main().Rename1Click();
  EXPECT_TRUE(
      dialogs.asked.contains("message: Error: File olready exist, please choose another name"));
  EXPECT_EQ(dir.Read("taken.txt"), "taken content");
  EXPECT_EQ(dir.Read("new.txt"), "old content");
  EXPECT_FALSE(dir.Exists("old.txt"));
}

}  // namespace
