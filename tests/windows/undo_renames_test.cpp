// Undo of renames wherever they lead: F2 into another directory or through "..", the console's
// rename and copy through "..", and batch runs taken back one after the other from the main
// window's history after a restart.

#include <unistd.h>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <filesystem>

#include "app/main_window.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

class UndoRenamesTest : public WindowTest {
 protected:
  UndoRenamesTest() {
    dir.CreateFile("defvars.txt");  // without it every expanded name adds a warning
    dir.CreateFile("work/a.txt", "a");
    dir.CreateFile("work/b.txt", "b");
    dir.CreateDir("work/sub");
    dir.CreateDir("other/inner");
    CreateApp();
    Scan(Work());
  }
  TForm1& Main() { return *app->Form1; }
  std::string Work() { return dir.Slash() + "work/"; }
  void Point(const std::string& entry) {
    const auto& e = Main().Entries();
    const auto at = std::find(e.begin(), e.end(), entry);
    ASSERT_NE(at, e.end()) << entry;
    Main().SetCurrentRow(static_cast<int>(at - e.begin()));
  }
  bool Printed(const std::string& line) {
    return std::find(echoed.begin(), echoed.end(), line) != echoed.end();
  }
};

TEST_F(UndoRenamesTest, AnF2RenameIntoAnotherDirectoryOrThroughDotDotIsUndone) {
  ASSERT_EQ(symlink((dir.Slash() + "other/inner").c_str(), (Work() + "link").c_str()), 0);
  const struct {
    const char* answer;
    const char* lands;  // below dir
    const char* caption;
    const char* undone;
  } cases[] = {
      {"sub/moved.txt", "work/sub/moved.txt", "Undo move of a.txt", "> Undone: move of a.txt"},
      {"../up.txt", "up.txt", "Undo move of a.txt", "> Undone: move of a.txt"},
      {"sub/../same.txt", "work/same.txt", "Undo rename of a.txt", "> Undone: rename of a.txt"},
      {".//dot.txt", "work/dot.txt", "Undo rename of a.txt", "> Undone: rename of a.txt"},
      // ".." after a link leads to the parent of what the link points to.
      {"link/../x.txt", "other/x.txt", "Undo move of a.txt", "> Undone: move of a.txt"},
  };
  for (const auto& c : cases) {
    Point("a.txt");
    dialogs.input_answers = {QString(c.answer)};
    Main().Rename1Click();
    ASSERT_EQ(dir.Read(c.lands), "a") << c.answer;
    ASSERT_FALSE(dir.Exists("work/a.txt")) << c.answer;
    Main().UpdateUndoCaption();
    EXPECT_EQ(TextToBytes(Main().Undo1->text()), c.caption) << c.answer;
    echoed.clear();
    Main().Undo1->trigger();
    EXPECT_EQ(dir.Read("work/a.txt"), "a") << c.answer;
    EXPECT_FALSE(dir.Exists(c.lands)) << c.answer;
    EXPECT_TRUE(Printed(c.undone)) << c.answer << ::testing::PrintToString(echoed);
  }
}

TEST_F(UndoRenamesTest, TheConsolesRenameAndCopyThroughDotDotAreUndone) {
  app->CurrentFile = Work() + "a.txt";
  Run("bw_rename(sub/../renamed.txt)");
  ASSERT_EQ(dir.Read("work/renamed.txt"), "a");
  Run("bw_scan_dir(" + Work() + ")");
  Run("bw_copy(" + Work() + "sub/../../other/)");
  ASSERT_EQ(dir.Read("other/b.txt"), "b");

  echoed.clear();
  Main().Undo1Click();
  EXPECT_FALSE(dir.Exists("other/b.txt"));
  EXPECT_FALSE(dir.Exists("other/renamed.txt"));
  EXPECT_TRUE(Printed("> Undone: copy of 2 files")) << ::testing::PrintToString(echoed);
  Main().Undo1Click();
  EXPECT_EQ(dir.Read("work/a.txt"), "a");
  EXPECT_TRUE(Printed("> Undone: rename of a.txt")) << ::testing::PrintToString(echoed);
}

TEST_F(UndoRenamesTest, TwoBatchRunsAreTakenBackOneAfterTheOtherAfterARestart) {
  TfrmBatch& batch = *app->frmBatch;
  batch.SetEntries({"a.txt", "b.txt"}, Work());
  app->Guarded([&] { batch.butbtngoClick(); });
  ASSERT_EQ(dir.Read("work/0_a"), "a");
  batch.SetEntries({"0_a"}, Work());
  batch.masktoren->setText("run2_$NUM");
  app->Guarded([&] { batch.butbtngoClick(); });
  ASSERT_EQ(dir.Read("work/run2_0"), "a");
  ASSERT_EQ(dir.Read("work/1_b"), "b");

  app.reset();
  CreateApp();
  Scan(Work());
  Main().Undo1Click();
  EXPECT_EQ(dir.Read("work/0_a"), "a");
  EXPECT_EQ(dir.Read("work/1_b"), "b");  // the first run is not touched
  Main().Undo1Click();
  EXPECT_EQ(dir.Read("work/a.txt"), "a");
  EXPECT_EQ(dir.Read("work/b.txt"), "b");
  EXPECT_FALSE(dir.Exists("work/0_a"));
  EXPECT_EQ(std::count(echoed.begin(), echoed.end(), "> Undone: renaming run"), 2);
  // Both runs are over: neither history nor the batch window has one to take back.
  EXPECT_FALSE(app->frmBatch->btnUndo->isEnabled());
}

TEST_F(UndoRenamesTest, ABatchEntryWhoseRunIsGoneOrUndoneIsReportedNotCarriedOut) {
  TfrmBatch& batch = *app->frmBatch;
  batch.SetEntries({"a.txt"}, Work());
  app->Guarded([&] { batch.butbtngoClick(); });
  batch.SetEntries({"b.txt"}, Work());
  app->Guarded([&] { batch.butbtngoClick(); });
  ASSERT_TRUE(dir.Exists("work/0_a") && dir.Exists("work/0_b"));
  // The batch window takes back its last run itself; the history's entry for it is then over.
  app->Guarded([&] { batch.btnUndoClick(); });
  ASSERT_EQ(dir.Read("work/b.txt"), "b");
  echoed.clear();
  Main().Undo1Click();
  EXPECT_TRUE(Printed("> Warning: Undo renaming run left undone: the run has been undone already"))
      << ::testing::PrintToString(echoed);
  EXPECT_EQ(dir.Read("work/0_a"), "a");
  // A journal that no longer holds the run (let go to keep it small, or removed).
  std::filesystem::remove(dir.Slash() + "renames.bw");
  echoed.clear();
  Main().Undo1Click();
  EXPECT_TRUE(Printed("> Warning: Undo renaming run left undone: the rename journal \"" +
                      dir.Slash() + "renames.bw\" no longer holds the run"))
      << ::testing::PrintToString(echoed);
  EXPECT_EQ(dir.Read("work/0_a"), "a");
}

}  // namespace
