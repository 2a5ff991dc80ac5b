// The file list as a desktop user meets it: read through the accessibility bus, sorted in the
// order chosen in the View menu, and that choice remembered.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "config/options_window.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

class FileListDesktopTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  void List(const std::string& path) {
    Main().SearchLine->setText(BytesToText(path));
    Main().ScanDirectory1Click();
  }
  QAction* Item(const char* name) { return Main().findChild<QAction*>(name); }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(Main().fList, &event);
  }
  void MoveTo(int row) {
    Main().fList->selectionModel()->setCurrentIndex(Main().fListModel->index(row),
                                                    QItemSelectionModel::ClearAndSelect);
  }
  int Row(const std::string& entry) {
    const auto& entries = Main().Entries();
    return static_cast<int>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
  }
};

TEST_F(FileListDesktopTest, TheListShowsItsEntriesToTheAccessibilityBus) {
  dir.CreateDir("listed");
  for (const char* name : {"b.txt", "a.txt"}) dir.CreateFile(std::string("listed/") + name);
  CreateApp();
  Main().show();
  List(dir.Slash() + "listed/");
  Main().fList->setFocus();
  QApplication::processEvents();

  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Main().fList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_TRUE(list->state().multiSelectable);
  ASSERT_EQ(list->childCount(), 3);
  const char* names[] = {"../", "a.txt", "b.txt"};
  for (int i = 0; i < 3; ++i) {
    QAccessibleInterface* cell = list->child(i);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::ListItem);
    EXPECT_EQ(cell->text(QAccessible::Name), names[i]);
    EXPECT_EQ(cell->parent(), list);
    EXPECT_EQ(list->indexOfChild(cell), i);
    EXPECT_FALSE(cell->state().selected);
  }

  Main().fList->selectionModel()->setCurrentIndex(Main().fListModel->index(2),
                                                  QItemSelectionModel::ClearAndSelect);
  EXPECT_TRUE(list->child(2)->state().selected);
  EXPECT_FALSE(list->child(1)->state().selected);
  EXPECT_EQ(list->child(2)->state().focused, Main().fList->hasFocus());
  EXPECT_EQ(list->focusChild(), list->child(2));

  // A new listing gives new children with the new names.
  dir.CreateFile("listed/c.txt");
  List(dir.Slash() + "listed/");
  ASSERT_EQ(list->childCount(), 4);
  EXPECT_EQ(list->child(3)->text(QAccessible::Name), "c.txt");
}

TEST_F(FileListDesktopTest, TheViewMenuSortsTheListAndTheChoiceIsRemembered) {
  dir.CreateDir("listed");
  dir.CreateDir("listed/sub");
  dir.CreateFile("listed/file_10.log", std::string(10, 'x'));
  dir.CreateFile("listed/file_2.txt", std::string(30, 'x'));
  dir.CreateFile("listed/File_1.zip", std::string(20, 'x'));
  CreateApp();
  List(dir.Slash() + "listed/");
  using Entries = std::vector<std::string>;
  EXPECT_EQ(Main().Entries(), (Entries{"../", "sub/", "File_1.zip", "file_2.txt", "file_10.log"}));
  EXPECT_TRUE(Item("mnuSortName")->isChecked());

  Item("mnuSortSize")->trigger();
  EXPECT_EQ(Main().Entries(), (Entries{"../", "sub/", "file_10.log", "File_1.zip", "file_2.txt"}));
  Item("mnuSortDescending")->trigger();
  EXPECT_EQ(Main().Entries(), (Entries{"../", "sub/", "file_2.txt", "File_1.zip", "file_10.log"}));
  Item("mnuSortExtension")->trigger();
  EXPECT_EQ(Main().Entries(), (Entries{"../", "sub/", "File_1.zip", "file_2.txt", "file_10.log"}));
  EXPECT_TRUE(Item("mnuSortExtension")->isChecked());
  EXPECT_FALSE(Item("mnuSortSize")->isChecked());
  EXPECT_NE(dir.Read("config.ini").find("sortorder=extension descending"), std::string::npos);

  // A new start reads the choice back.
  app.reset();
  CreateApp();
  EXPECT_TRUE(Item("mnuSortExtension")->isChecked());
  EXPECT_TRUE(Item("mnuSortDescending")->isChecked());
  List(dir.Slash() + "listed/");
  EXPECT_EQ(Main().Entries(), (Entries{"../", "sub/", "File_1.zip", "file_2.txt", "file_10.log"}));
}

TEST_F(FileListDesktopTest, TheStandardKeysDoWhatTheirMenuEntriesDo) {
  dir.CreateDir("top/sub");
  dir.CreateFile("top/a.txt", "abc");
  dir.CreateFile("top/b.txt");
  CreateApp();
  app->Optionz->ondel->setChecked(true);
  List(dir.Slash() + "top/");
  // Keys move the cursor and the third panel follows.
  MoveTo(Row("sub/"));
  Press(Qt::Key_Down);
  EXPECT_EQ(Main().CurrentRow(), Row("a.txt"));
  EXPECT_TRUE(Main().StatusPanel(2)->text().contains(" : 0 "));
  MoveTo(Row("sub/"));
  Press(Qt::Key_Return);
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "top/sub/");
  Press(Qt::Key_Backspace);
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "top/");
  Main().SearchLine->setText(BytesToText(dir.Slash() + "top/sub/"));
  Main().ScanDirectory1Click();
  Press(Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "top/");

  // Delete asks the delete command's question; No keeps the file.
  MoveTo(Row("b.txt"));
  dialogs.message_answers = {MsgAnswer::kNo};
  Press(Qt::Key_Delete);
  EXPECT_TRUE(dir.Exists("top/b.txt"));
  ASSERT_FALSE(dialogs.asked.isEmpty());
  EXPECT_TRUE(dialogs.asked.back().contains("b.txt"));
  MoveTo(Row("b.txt"));
  dialogs.message_answers = {MsgAnswer::kYes};
  Press(Qt::Key_Delete);
  EXPECT_FALSE(dir.Exists("top/b.txt"));

  // F2 offers the old name; the renamed file is selected. F5 lists again.
  MoveTo(Row("a.txt"));
  dialogs.input_answers = {QString("c.txt")};
  Press(Qt::Key_F2);
  EXPECT_EQ(dialogs.input_initials.back(), "a.txt");
  EXPECT_EQ(dir.Read("top/c.txt"), "abc");
  EXPECT_EQ(Main().CurrentRow(), Row("c.txt"));
  EXPECT_EQ(Main().SelectedRows(), std::vector<int>{Row("c.txt")});
  dir.CreateFile("top/d.txt");
  Press(Qt::Key_F5);
  EXPECT_NE(Row("d.txt"), static_cast<int>(Main().Entries().size()));

  // A new file is selected too.
  dialogs.input_answers = {QString("new.txt")};
  Main().CreateEmptyFile1Click();
  EXPECT_EQ(Main().CurrentRow(), Row("new.txt"));
}

TEST_F(FileListDesktopTest, CopyAndPasteThroughTheDesktopClipboardNeverReplaceAFile) {
  dir.CreateDir("from");
  dir.CreateDir("to");
  dir.CreateFile("from/a.txt", "new a");
  dir.CreateFile("from/b.txt", "new b");
  dir.CreateFile("to/a.txt", "old a");
  CreateApp();
  List(dir.Slash() + "from/");
  Main().SELECTALL1Click();
  Press(Qt::Key_C, Qt::ControlModifier);
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->data("text/uri-list").toStdString(),
            "file://" + dir.Slash() + "from/a.txt\r\nfile://" + dir.Slash() + "from/b.txt\r\n");
  EXPECT_TRUE(copied->data("x-special/gnome-copied-files").startsWith("copy\n"));

  // a.txt is taken: No skips it, keeping the old file; b.txt is copied.
  List(dir.Slash() + "to/");
  dialogs.message_answers = {MsgAnswer::kNo};
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(dir.Read("to/a.txt"), "old a");
  EXPECT_EQ(dir.Read("to/b.txt"), "new b");
  // Every question comes before anything is copied: Cancel at the second pastes nothing.
  dialogs.message_answers = {MsgAnswer::kYes, MsgAnswer::kCancel};
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_FALSE(dir.Exists("to/a (2).txt"));
  // Again: Yes keeps both under a new name; No skips the second.
  dialogs.message_answers = {MsgAnswer::kYes, MsgAnswer::kNo};
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(dir.Read("to/a.txt"), "old a");
  EXPECT_EQ(dir.Read("to/a (2).txt"), "new a");
  EXPECT_FALSE(dir.Exists("to/b (2).txt"));

  // Files cut in another file manager are moved once.
  dir.CreateFile("from/c.txt", "c");
  auto* cut = new QMimeData;
  cut->setData("x-special/gnome-copied-files",
               QByteArray::fromStdString("cut\nfile://" + dir.Slash() + "from/c.txt"));
  QApplication::clipboard()->setMimeData(cut);
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(dir.Read("to/c.txt"), "c");
  EXPECT_FALSE(dir.Exists("from/c.txt"));
}

TEST_F(FileListDesktopTest, EntriesDragOutAsUrisAndDroppedFilesAreCopiedOrMoved) {
  dir.CreateDir("to");
  dir.CreateFile("d.txt", "d");
  dir.CreateFile("e.txt", "e");
  dir.CreateFile("to/e.txt", "old e");
  CreateApp();
  List(dir.Slash() + "to/");
  std::unique_ptr<QMimeData> dragged(
      Main().fListModel->mimeData({Main().fListModel->index(Row("e.txt"))}));
  ASSERT_NE(dragged, nullptr);
  EXPECT_EQ(dragged->data("text/uri-list").toStdString(), "file://" + dir.Slash() + "to/e.txt\r\n");

  QMimeData drop;
  drop.setData("text/uri-list",
               QByteArray::fromStdString("file://" + dir.Slash() + "d.txt\r\nfile://" +
                                         dir.Slash() + "e.txt\r\n"));
  dialogs.message_answers = {MsgAnswer::kNo};
  EXPECT_TRUE(Main().fListModel->dropMimeData(&drop, Qt::CopyAction, -1, -1, {}));
  EXPECT_EQ(dir.Read("to/d.txt"), "d");
  EXPECT_TRUE(dir.Exists("d.txt"));
  EXPECT_EQ(dir.Read("to/e.txt"), "old e");
  // Shift makes the drop a move.
  dialogs.message_answers = {MsgAnswer::kYes};
  EXPECT_TRUE(Main().fListModel->dropMimeData(&drop, Qt::MoveAction, -1, -1, {}));
  EXPECT_FALSE(dir.Exists("e.txt"));
  EXPECT_EQ(dir.Read("to/e (2).txt"), "e");
  EXPECT_EQ(dir.Read("to/d (2).txt"), "d");
  EXPECT_FALSE(dir.Exists("d.txt"));
}

}  // namespace
