// The file list and the tree follow what other programs (and a second instance) change in the
// listed directory, keeping the cursor and the selection; the window's own changes show at once.

#include <stdio.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <functional>

#include "app/list_watch.h"
#include "app/main_window.h"
#include "config/options_window.h"
#include "platform/fault_plan.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"

namespace {

// Runs the event loop until `done` holds, for at most five seconds; true when it held.
bool WaitFor(const std::function<bool()>& done) {
  QDeadlineTimer deadline(5000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    usleep(2000);
  }
  return true;
}

class ListFollowsDiskTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  std::string Work() { return dir.Slash() + "work/"; }
  std::vector<std::string> Listed() { return Main().Entries(); }
  bool Listed(const std::string& entry) { return Main().fListModel->Find(entry) >= 0; }
  void ListWork() {
    dir.CreateFile("work/a.txt", "a");
    dir.CreateFile("work/b.txt", "b");
    dir.CreateDir("work/sub");
    CreateApp();
    Main().SearchLine->setText(BytesToText(Work()));
    Main().ScanDirectory1Click();
  }
  void PointAndSelect(const std::string& entry) {
    const QModelIndex index = Main().fListModel->index(Main().fListModel->Find(entry));
    Main().fList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  }
  // The entry under the cursor and the selected entries.
  std::string Current() {
    const int row = Main().CurrentRow();
    return row < 0 ? "<none>" : Main().fListModel->Entry(row);
  }
  std::vector<std::string> Selected() {
    std::vector<std::string> entries;
    for (int row : Main().SelectedRows()) entries.push_back(Main().fListModel->Entry(row));
    return entries;
  }
  QStringList Tree() {
    QStringList items;
    for (int i = 0; i < Main().DirList->count(); ++i) {
      items << Main().DirList->item(i)->text().trimmed();
    }
    return items;
  }
};

TEST_F(ListFollowsDiskTest, OtherProgramsChangesAppearKeepingCursorAndSelection) {
  ListWork();
  Main().show();
  if (Main().DirTree->isHidden()) Main().DIRTREE1Click();
  QApplication::processEvents();
  ASSERT_TRUE(Tree().contains("sub"));
  PointAndSelect("b.txt");
  const std::size_t console_lines = ConsoleLines().size();

  dir.CreateFile("work/c.txt");                      // touch
  dir.CreateDir("work/new");                         // mkdir
  ASSERT_EQ(unlink((Work() + "a.txt").c_str()), 0);  // rm
  ASSERT_TRUE(WaitFor([&] { return Listed("c.txt") && Listed("new/") && !Listed("a.txt"); }));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"../", "new/", "sub/", "b.txt", "c.txt"}));
  EXPECT_TRUE(Tree().contains("new"));
  EXPECT_EQ(Current(), "b.txt");
  EXPECT_EQ(Selected(), std::vector<std::string>{"b.txt"});

  // mv: the entry moves to its place in the order, keeping the cursor and the selection.
  ASSERT_EQ(rename((Work() + "b.txt").c_str(), (Work() + "e.txt").c_str()), 0);
  ASSERT_EQ(rename((Work() + "new").c_str(), (Work() + ".hidden").c_str()), 0);
  ASSERT_TRUE(WaitFor([&] { return Listed("e.txt") && !Listed("new/"); }));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"../", "sub/", "c.txt", "e.txt"}));
  EXPECT_FALSE(Tree().contains("new"));
  EXPECT_EQ(Current(), "e.txt");
  EXPECT_EQ(Selected(), std::vector<std::string>{"e.txt"});
  EXPECT_EQ(Main().StatusPanel(0)->text(), app->Str(53) + " 4");
  EXPECT_EQ(ConsoleLines().size(), console_lines) << "followed without a scan";

  // A burst too large to apply entry by entry is listed again, and still keeps both.
  for (int i = 0; i < 2500; ++i) dir.CreateFile("work/burst" + std::to_string(i));
  ASSERT_TRUE(WaitFor([&] { return Listed().size() == 2504; }));
  EXPECT_EQ(Current(), "e.txt");
  EXPECT_EQ(Selected(), std::vector<std::string>{"e.txt"});
  EXPECT_EQ(Listed().back(), "e.txt");
}

TEST_F(ListFollowsDiskTest, TwoInstancesSeeEachOthersChanges) {
  ListWork();
  app->Optionz->ondel->setChecked(false);
  ScriptedDialogs other_dialogs;
  App::Options options;
  options.program_dir = dir.Slash();
  options.show_splash = false;
  options.dialogs = &other_dialogs;
  App other(options);
  other.CreateWindows();
  other.Form1->SearchLine->setText(BytesToText(Work()));
  other.Form1->ScanDirectory1Click();

  // The other instance deletes a.txt and creates n.txt; this one renames b.txt.
  other.Form1->SetCurrentRow(other.Form1->fListModel->Find("a.txt"));
  other.Form1->Delete1Click();
  other_dialogs.input_answers = {"n.txt"};
  other.Form1->CreateEmptyFile1Click();
  Main().SetCurrentRow(Main().fListModel->Find("b.txt"));
  dialogs.input_answers = {"r.txt"};
  Main().Rename1Click();
  const std::vector<std::string> both = {"../", "sub/", "r.txt", "n.txt"};
  const auto same = [&](TForm1& form) {
    std::vector<std::string> entries = form.Entries();
    std::sort(entries.begin() + 2, entries.end());
    std::vector<std::string> want = both;
    std::sort(want.begin() + 2, want.end());
    return entries == want;
  };
  EXPECT_TRUE(WaitFor([&] { return same(Main()) && same(*other.Form1); }))
      << "this one lists " << Listed().size() << ", the other " << other.Form1->Entries().size();
  EXPECT_TRUE(dir.Exists("work/r.txt"));
  EXPECT_FALSE(dir.Exists("work/a.txt"));
}

TEST_F(ListFollowsDiskTest, OwnChangesShowAtOnceWithoutListingAgain) {
  ListWork();
  app->Optionz->ondel->setChecked(false);
  PointAndSelect("b.txt");
  Main().fList->selectionModel()->select(Main().fListModel->index(Main().fListModel->Find("sub/")),
                                         QItemSelectionModel::Select);
  const auto selected = std::vector<std::string>{"sub/", "b.txt"};

  // A listing again would empty the list and lose the selection; the delete keeps it.
  Main().SetCurrentRow(Main().fListModel->Find("a.txt"));
  Main().Delete1Click();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"../", "sub/", "b.txt"}));
  EXPECT_EQ(Selected(), selected);
  dialogs.input_answers = {"made.txt"};
  Main().CreateEmptyFile1Click();
  dialogs.input_answers = {".made"};
  Main().CreateEmptyFile1Click();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"../", "sub/", "b.txt", "made.txt"}));
  Main().SetCurrentRow(Main().fListModel->Find("made.txt"));
  dialogs.input_answers = {"renamed.txt"};
  Main().Rename1Click();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"../", "sub/", "b.txt", "renamed.txt"}));
  // A renamed file becomes the selection, as a created one does.
  EXPECT_EQ(Selected(), std::vector<std::string>{"renamed.txt"});
  EXPECT_EQ(ConsoleLines().front(), "> " + Work()) << "the scan's other steps still run";
  EXPECT_TRUE(dir.Exists("work/.made"));
}

TEST_F(ListFollowsDiskTest, AWatchThatCannotBeSetIsSaidOnceAndF5ListsAgain) {
  dir.CreateDir("work");
  platform::faults::Plan plan;
  plan.refuse = "/work/";
  platform::faults::Scoped refused(plan);
  ListWork();
  EXPECT_TRUE(Main().StatusPanel(2)->text().contains("not shown"))
      << Main().StatusPanel(2)->text().toStdString();
  Main().StatusPanel(2)->clear();
  Main().ScanDirectory1Click();
  EXPECT_EQ(Main().StatusPanel(2)->text(), "") << "said once";

  dir.CreateFile("work/later.txt");
  // Own changes are listed in full without a watch: nothing else may have been seen.
  Main().Refresh1->trigger();
  EXPECT_TRUE(Listed("later.txt"));
}

}  // namespace

namespace {

TEST_F(ListFollowsDiskTest, HeldChangesShowWhenReleasedOrWithTheNextListing) {
  ListWork();
  // Held, a change on disk is not followed, however long the window runs.
  Main().HoldListChanges(true);
  dir.CreateFile("work/c.txt", "c");
  QDeadlineTimer settled(4 * ListWatch::kSettleMs);
  while (!settled.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(Listed("c.txt"));
  // Released, it shows.
  Main().HoldListChanges(false);
  EXPECT_TRUE(WaitFor([&] { return Listed("c.txt"); }));
  // Held changes that a new listing shows anyway are not applied again after it.
  Main().HoldListChanges(true);
  ASSERT_EQ(std::rename((Work() + "c.txt").c_str(), (Work() + "d.txt").c_str()), 0);
  QApplication::processEvents();
  Main().ScanDirectory1Click();
  Main().HoldListChanges(false);
  EXPECT_TRUE(Listed("d.txt"));
  EXPECT_FALSE(Listed("c.txt"));
}

}  // namespace
