// The file list as a desktop user meets it: read through the accessibility bus, sorted in the
// order chosen in the View menu, and that choice remembered.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <string>
#include <vector>

#include "app/main_window.h"
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

}  // namespace
