// The file list in newspaper columns: every entry reachable by the scroll bar, the wheel and
// the keys at any window size; the parent entry on top; the status bar's count.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

class FileListViewTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  ColumnListView& List() { return *Main().fList; }
  // Shows the main window at a size and lets it lay itself out.
  void ShowAt(int width, int height) {
    Main().show();
    Main().resize(width, height);
    QApplication::processEvents();
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&List(), &event);
  }
  void Wheel(int delta) {
    const QPointF at(10, 10);
    QWheelEvent event(at, List().viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(List().viewport(), &event);
  }
  int Current() { return List().currentIndex().row(); }
  // Whether the entry lies wholly inside the visible part of the list.
  bool InView(int row) {
    const QRect rect = List().visualRect(Main().fListModel->index(row));
    return !rect.isEmpty() && List().viewport()->rect().contains(rect);
  }
  void Fill(int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) entries.push_back("entry" + std::to_string(i) + ".txt");
    Main().fListModel->SetEntries(std::move(entries));
    QApplication::processEvents();
  }
};

TEST_F(FileListViewTest, EveryEntryIsReachableAtAnyWindowSize) {
  CreateApp();
  Fill(201);
  const struct {
    int width, height;
  } sizes[] = {{1280, 900}, {1920, 1080}, {689, 525}, {700, 400}, {900, 260}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    ShowAt(size.width, size.height);
    const ui::ColumnLayout layout = List().Layout();
    ASSERT_LT(2 * layout.lines, 201) << "the list must not fit, or nothing is tested";
    // The scroll bar is there and reaches the last column.
    QScrollBar* bar = List().horizontalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    bar->setValue(bar->maximum());
    EXPECT_TRUE(InView(200));
    bar->setValue(0);
    EXPECT_TRUE(InView(0));
    // The keys keep the current entry in view, one step at a time and by pages.
    List().setCurrentIndex(Main().fListModel->index(0));
    for (int step = 0; step < 200; ++step) {
      Press(Qt::Key_Down);
      ASSERT_TRUE(InView(Current())) << "after Down to " << Current();
    }
    EXPECT_EQ(Current(), 200);
    Press(Qt::Key_Home);
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(bar->value(), 0);
    while (Current() < 200) {
      const int before = Current();
      Press(Qt::Key_PageDown);
      ASSERT_GT(Current(), before);
      ASSERT_TRUE(InView(Current())) << "after PageDown to " << Current();
    }
    Press(Qt::Key_Home);
    Press(Qt::Key_End);
    EXPECT_EQ(Current(), 200);
    EXPECT_TRUE(InView(200));
    Press(Qt::Key_Left);
    EXPECT_EQ(Current(), 200 - layout.lines);
    EXPECT_TRUE(InView(Current()));
  }
}

TEST_F(FileListViewTest, TheWheelScrollsAColumnANotch) {
  CreateApp();
  Fill(201);
  ShowAt(1280, 900);
  QScrollBar* bar = List().horizontalScrollBar();
  ASSERT_GE(bar->maximum(), 2);
  Wheel(-120);
  EXPECT_EQ(bar->value(), 1);
  Wheel(-60);  // half a notch waits for the other half
  EXPECT_EQ(bar->value(), 1);
  Wheel(-60);
  EXPECT_EQ(bar->value(), 2);
  Wheel(120 * 50);
  EXPECT_EQ(bar->value(), 0);
  Wheel(-120 * 50);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_TRUE(InView(200));
  // The next listing starts at its first column.
  Fill(150);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(InView(0));
}

TEST_F(FileListViewTest, EntriesAddedAndRemovedOneByOneAreLaidOutAgain) {
  CreateApp();
  Fill(3);
  ShowAt(800, 400);
  QScrollBar* bar = List().horizontalScrollBar();
  ASSERT_EQ(bar->maximum(), 0);
  // As a file made by another program comes in: one row at a time, never a new listing.
  for (int i = 0; i < 300; ++i) Main().fListModel->InsertEntry("more" + std::to_string(i));
  QApplication::processEvents();
  EXPECT_GT(bar->maximum(), 0) << "the new columns are reachable";
  bar->setValue(bar->maximum());
  EXPECT_TRUE(InView(Main().fListModel->rowCount() - 1));
  for (int i = 0; i < 300; ++i) Main().fListModel->RemoveEntry("more" + std::to_string(i));
  QApplication::processEvents();
  EXPECT_EQ(bar->maximum(), 0);
}

TEST_F(FileListViewTest, AHundredThousandEntriesScrollAndSelect) {
  CreateApp();
  Fill(100000);
  ShowAt(1280, 900);
  const ui::ColumnLayout layout = List().Layout();
  QScrollBar* bar = List().horizontalScrollBar();
  EXPECT_EQ(bar->maximum(), layout.LastFirstColumn());
  EXPECT_EQ(bar->maximum(), (100000 + layout.lines - 1) / layout.lines - 2);
  Press(Qt::Key_End);
  EXPECT_EQ(Current(), 99999);
  EXPECT_TRUE(InView(99999));
  // What is shown is what the mouse finds.
  const QRect last = List().visualRect(Main().fListModel->index(99999));
  EXPECT_EQ(List().indexAt(last.center()).row(), 99999);
  bar->setValue(bar->maximum() / 2);
  const int top_left = bar->value() * layout.lines;
  EXPECT_EQ(List().indexAt(QPoint(2, 2)).row(), top_left);
  EXPECT_EQ(List().indexAt(QPoint(List().viewport()->width() / 2 + 2, 2)).row(),
            top_left + layout.lines);
  // Shift with the keys selects the whole range, across columns.
  List().setCurrentIndex(Main().fListModel->index(top_left + 3));
  Press(Qt::Key_Right, Qt::ShiftModifier);
  Press(Qt::Key_Up, Qt::ShiftModifier);
  const std::vector<int> selected = Main().SelectedRows();
  ASSERT_EQ(static_cast<int>(selected.size()), layout.lines);
  EXPECT_EQ(selected.front(), top_left + 3);
  EXPECT_EQ(selected.back(), top_left + 2 + layout.lines);
  // Selecting everything stays quick and right.
  Main().SELECTALL1Click();
  EXPECT_EQ(Main().SelectedRows().size(), 100000u);
}

TEST_F(FileListViewTest, TheParentEntryIsListedFirst) {
  UseTestLanguage();
  const std::string list = dir.CreateDir("list");
  // Enough entries that the directory read returns ".." somewhere in the middle.
  for (int i = 0; i < 30; ++i) {
    dir.CreateDir("list/dir" + std::to_string(i));
    dir.CreateFile("list/file" + std::to_string(i) + ".txt");
  }
  CreateApp();
  Main().SearchLine->setText(BytesToText(list + "/"));
  Main().ScanDirectory1Click();
  const std::vector<std::string>& entries = Main().Entries();
  ASSERT_EQ(entries.size(), 61u);
  EXPECT_EQ(entries[0], "../");
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(entries[i].back(), '/') << entries[i];
  for (int i = 31; i <= 60; ++i) EXPECT_NE(entries[i].back(), '/') << entries[i];
}

TEST_F(FileListViewTest, TheCountStandsApartFromItsCaptionAtTheRootToo) {
  UseTestLanguage();
  CreateApp();
  for (int scan = 0; scan < 2; ++scan) {
    // The first scan moves the tree, whose notification lists; the second lists by itself.
    Main().SearchLine->setText("/");
    Main().ScanDirectory1Click();
    const std::string count = std::to_string(Main().Entries().size());
    EXPECT_EQ(Main().StatusPanel(0)->text().toStdString(), "E53 " + count) << "scan " << scan;
  }
}

TEST_F(FileListViewTest, TheMainWindowCanBeMadeNarrow) {
  CreateApp();
  ShowAt(1400, 700);
  EXPECT_GT(Main().SearchLine->width(), 1000);
  for (int width : {700, 600}) {
    Main().resize(width, 500);
    QApplication::processEvents();
    EXPECT_EQ(Main().width(), width);
    // The path line shrank with it, and still fills the bar beside the scan button.
    EXPECT_LT(Main().SearchLine->width(), width);
    EXPECT_GT(Main().SearchLine->width(), width / 2);
  }
}

}  // namespace
