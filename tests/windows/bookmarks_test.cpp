// The bookmarks window and the main window's bookmark list: adding, deleting, sorting,
// searching, jumping, and bmks.bw read and written without ever losing a bookmark.

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>

#include "app/main_window.h"
#include "export/bookmarks_window.h"
#include "support/as_unprivileged.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"

namespace {

class BookmarksTest : public WindowTest {
 protected:
  TfrmBookMarks& Bm() { return *app->frmBookMarks; }
  TForm1& Main() { return *app->Form1; }
  void Add(const std::string& text) {
    Bm().addsrch->setText(BytesToText(text));
    app->Guarded([&] { Bm().addClick(); });
  }
  // Both lists, which must always be equal.
  QStringList Lists() {
    const QStringList own = Items(Bm().bookmarkz);
    EXPECT_EQ(own, Items(Main().bookmarkz));
    return own;
  }
};

TEST_F(BookmarksTest, AddRefusesTheSamePathButNotAnotherCase) {
  UseTestLanguage();
  dir.CreateFile("bmks.bw", "/home/ann/");  // no final line break
  CreateApp();
  EXPECT_EQ(Lists(), QStringList({"/home/ann/"}));
  Add("/home/ann/");
  ASSERT_EQ(dialogs.asked.size(), 1);
  EXPECT_TRUE(dialogs.asked[0].contains("E72"));
  Add("/HOME/ANN/");
  Add("/srv/");
  EXPECT_EQ(Lists(), QStringList({"/home/ann/", "/HOME/ANN/", "/srv/"}));
  EXPECT_EQ(ConsoleLines().front(), "> Bookmark: /srv/");
  // Adding writes nothing; closing the window writes every line with CR LF.
  EXPECT_EQ(dir.Read("bmks.bw"), "/home/ann/");
  Bm().close();
  EXPECT_EQ(dir.Read("bmks.bw"), "/home/ann/\r\n/HOME/ANN/\r\n/srv/\r\n");
}

TEST_F(BookmarksTest, DeleteRemovesTheSelectedPositionFromBothLists) {
  dir.CreateFile("bmks.bw", "/a/\r\n/b/\r\n/c/\r\n");
  CreateApp();
  Bm().delClick();  // nothing selected: nothing happens
  EXPECT_EQ(Lists(), QStringList({"/a/", "/b/", "/c/"}));
  Main().bookmarkz->setCurrentRow(1);
  Main().SearchLine->setText("/unchanged/");
  Bm().bookmarkz->setCurrentRow(1);
  Bm().delClick();
  EXPECT_EQ(Lists(), QStringList({"/a/", "/c/"}));
  // Taking the current entry away from the main list did not list another bookmark.
  EXPECT_EQ(Main().SearchLine->text(), "/unchanged/");
  Bm().close();
  EXPECT_EQ(dir.Read("bmks.bw"), "/a/\r\n/c/\r\n");
}

TEST_F(BookmarksTest, SortOrdersBothListsAndLaterAddsKeepThemEqual) {
  dir.CreateFile("bmks.bw", "/srv/\r\n/Home/\r\n/apps/\r\n");
  CreateApp();
  Bm().btnSortClick();
  EXPECT_EQ(Lists(), QStringList({"/apps/", "/Home/", "/srv/"}));
  Add("/mnt/");
  Add("/a/");
  EXPECT_EQ(Lists(), QStringList({"/a/", "/apps/", "/Home/", "/mnt/", "/srv/"}));
  Bm().bookmarkz->setCurrentRow(3);
  Bm().delClick();
  EXPECT_EQ(Lists(), QStringList({"/a/", "/apps/", "/Home/", "/srv/"}));
  Bm().close();
  EXPECT_EQ(dir.Read("bmks.bw"), "/a/\r\n/apps/\r\n/Home/\r\n/srv/\r\n");
}

TEST_F(BookmarksTest, SearchSelectsTheFirstHolderOfTheText) {
  dir.CreateFile("bmks.bw", "/home/ann/\r\n/srv/data/\r\n/home/bob/data/\r\n");
  CreateApp();
  Bm().addsrch->setText("data");
  EXPECT_EQ(Bm().bookmarkz->currentRow(), 1);
  EXPECT_EQ(Bm().bookmarkz->selectedItems().size(), 1);
  Bm().addsrch->setText("bob");
  EXPECT_EQ(Bm().bookmarkz->currentRow(), 2);
  Bm().addsrch->setText("BOB");  // letter case counts
  EXPECT_TRUE(Bm().bookmarkz->selectedItems().isEmpty());
  Bm().addsrch->setText("");
  EXPECT_TRUE(Bm().bookmarkz->selectedItems().isEmpty());
  // With nothing selected, delete does nothing.
  Bm().delClick();
  EXPECT_EQ(Lists().size(), 3);
  // Showing the window searches for the main window's path.
  Main().SearchLine->setText("/srv/data/");
  Main().BOOKMARKS1->trigger();
  EXPECT_TRUE(Bm().isVisible());
  EXPECT_EQ(Bm().addsrch->text(), "/srv/data/");
  EXPECT_EQ(Bm().bookmarkz->currentRow(), 1);
}

TEST_F(BookmarksTest, JumpListsTheBookmarkAndClosingWritesTheFile) {
  const std::string sub = dir.CreateDir("sub");
  dir.CreateFile("sub/inside.txt");
  dir.CreateFile("bmks.bw", "/\r\n" + sub + "/\r\n");
  CreateApp();
  Main().BOOKMARKS1->trigger();
  Bm().bookmarkz->setCurrentRow(1);
  Bm().bookmarkzDblClick();
  EXPECT_EQ(app->CurrentDir, sub + "/");
  EXPECT_EQ(Main().SearchLine->text(), BytesToText(sub + "/"));
  EXPECT_FALSE(Bm().isVisible());
  EXPECT_EQ(dir.Read("bmks.bw"), "/\r\n" + sub + "/\r\n");
}

TEST_F(BookmarksTest, MainListClickKeysToggleAndAddBookmark) {
  const std::string a = dir.CreateDir("a");
  const std::string b = dir.CreateDir("b");
  dir.CreateFile("bmks.bw", a + "/\r\n" + b + "/\r\n");
  CreateApp();
  Main().show();
  Main().bookmarkz->setFocus();
  Main().bookmarkz->setCurrentRow(0);
  EXPECT_EQ(app->CurrentDir, a + "/");
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(Main().bookmarkz, &down);
  EXPECT_EQ(app->CurrentDir, b + "/");
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(Main().bookmarkz, &up);
  EXPECT_EQ(app->CurrentDir, a + "/");

  const bool shown = !Main().bookmarkz->isHidden();
  Main().SHOWBOOKMARKS1->trigger();
  EXPECT_EQ(Main().bookmarkz->isHidden(), shown);
  EXPECT_EQ(Main().SHOWBOOKMARKS1->isChecked(), !shown);

  // The current path goes to the end of both lists, without showing the bookmarks window.
  Main().SearchLine->setText("/typed/path/");
  Main().ADDBOOKMARK1->trigger();
  EXPECT_EQ(Lists(), QStringList({BytesToText(a + "/"), BytesToText(b + "/"), "/typed/path/"}));
  EXPECT_FALSE(Bm().isVisible());
  Main().ADDBOOKMARK1->trigger();
  EXPECT_EQ(Lists().size(), 3);
  EXPECT_EQ(dialogs.asked.size(), 1);
}

TEST_F(BookmarksTest, RepeatedCreationKeepsBookmarksAddedSince) {
  dir.CreateFile("bmks.bw", "/a/\r\n");
  CreateApp();
  Add("/added/");
  // The options window runs the creation steps again when it closes.
  Main().FormCreate();
  Bm().FormCreate();
  EXPECT_EQ(Lists(), QStringList({"/a/", "/added/"}));
  ASSERT_TRUE(Main().close());
  EXPECT_EQ(dir.Read("bmks.bw"), "/a/\r\n/added/\r\n");
}

TEST_F(BookmarksTest, NamesThatAreNotUtf8AreWrittenBackAsTheSameBytes) {
  const std::string odd = "/data/caf\xE9/\r\n/plain/\r\n";
  dir.CreateFile("bmks.bw", odd);
  CreateApp();
  ASSERT_TRUE(Main().close());
  EXPECT_EQ(dir.Read("bmks.bw"), odd);
}

TEST_F(BookmarksTest, AnUnreadableFileIsNeverWrittenOver) {
  const std::string config = dir.CreateFile("config.ini", "[confrims]\r\nonexit=0\r\n");
  chmod(config.c_str(), 0666);
  const std::string file = dir.CreateFile("bmks.bw", "/precious/\r\n");
  ASSERT_EQ(chmod(file.c_str(), 0200), 0);
  {
    AsUnprivileged user(dir.Path());
    CreateApp();
    // The failed read was reported; the lists hold nothing that came from the file.
    EXPECT_EQ(dialogs.errors.size(), 1);
    Add("/new/");
    Bm().FormCreate();  // tries the file again, still unreadable
    Bm().close();
  }
  EXPECT_EQ(dialogs.errors.size(), 2);
  chmod(file.c_str(), 0600);
  EXPECT_EQ(dir.Read("bmks.bw"), "/precious/\r\n");
  // Once the file can be read, the next creation step loads it and keeps what was added.
  Bm().FormCreate();
  EXPECT_EQ(Lists(), QStringList({"/precious/", "/new/"}));
  EXPECT_TRUE(Main().close());
  EXPECT_EQ(dir.Read("bmks.bw"), "/precious/\r\n/new/\r\n");
}

TEST_F(BookmarksTest, AFileThatCannotBeWrittenIsReportedOnceAndClosingGoesOn) {
  dir.CreateFile("config.ini", "[confrims]\r\nonexit=0\r\n");
  dir.CreateDir("bmks.bw");  // a directory stands where the file would be written
  CreateApp();
  EXPECT_TRUE(dialogs.errors.isEmpty());
  // A scan never writes the list.
  Main().SearchLine->setText(BytesToText(dir.Slash()));
  Main().ScanDirectory1Click();
  EXPECT_TRUE(dialogs.errors.isEmpty());
  Bm().close();
  EXPECT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(Main().close());
  EXPECT_TRUE(Main().closed());
  ASSERT_EQ(dialogs.errors.size(), 2);
  EXPECT_TRUE(dialogs.errors[1].contains("bmks.bw")) << dialogs.errors[1].toStdString();
  EXPECT_NE(dir.Read("config.ini").find("bmatframe"), std::string::npos);
}

}  // namespace
