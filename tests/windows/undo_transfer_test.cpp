// Undo of copies and moves: recorded before the job, finished after it, read back after a
// restart, and never touching a file that changed since.

#include <QAction>

#include <algorithm>

#include "app/main_window.h"
#include "app/undo_command.h"
#include "platform/file_ops.h"
#include "support/window_fixture.h"
#include "tools/copy_windows.h"
#include "ui/byte_text.h"

namespace {

class UndoTransferTest : public WindowTest {
 protected:
  UndoTransferTest() {
    for (const char* name : {"src/a.txt", "src/b.txt", "src/c.txt"}) dir.CreateFile(name, name);
    dir.CreateDir("dst/sub");
    CreateApp();
  }
  TForm1& Main() { return *app->Form1; }
  std::string Src() { return dir.Slash() + "src/"; }
  std::string Dst() { return dir.Slash() + "dst/"; }
  std::vector<tools::UndoEntry> History() { return UndoHistoryOf(*app).Load().value(); }
  std::string Caption() {
    Main().UpdateUndoCaption();
    return TextToBytes(Main().Undo1->text());
  }
  void Restart() {
    app.reset();
    CreateApp();
  }
  bool Printed(const std::string& line) {
    return std::find(echoed.begin(), echoed.end(), line) != echoed.end();
  }
  bool Trashed(const std::string& name) { return data_home.Exists("Trash/files/" + name); }
};

TEST_F(UndoTransferTest, ACopyIsOnTheDiskBeforeItStartsAndNamesOnlyTheFilesMadeAfter) {
  {
    tools::TransferRecord record = RecordTransfer(*app, tools::UndoKind::kCopy);
    record.Plan({{Src() + "a.txt", Dst() + "a.txt"}, {Src() + "b.txt", Dst() + "b.txt"}});
    const auto planned = History();
    ASSERT_EQ(planned.size(), 1u);
    ASSERT_EQ(planned[0].items.size(), 2u);
    EXPECT_EQ(planned[0].items[1].id.inode, 0u);  // what a crash now would leave
    ASSERT_TRUE(platform::CopyFileNoReplace(Src() + "a.txt", Dst() + "a.txt"));
  }
  const auto done = History();
  ASSERT_EQ(done.size(), 1u);
  ASSERT_EQ(done[0].items.size(), 1u);
  EXPECT_EQ(done[0].items[0].target, Dst() + "a.txt");
  EXPECT_EQ(done[0].items[0].id, platform::GetFileIdentity(Dst() + "a.txt"));
  EXPECT_EQ(Caption(), "Undo copy of a.txt");
}

TEST_F(UndoTransferTest, AnUndoWhileAJobRunsTakesWhatItHasMadeAndOnlyThat) {
  Run("bw_scan_dir(" + Src() + ")");
  {
    // Another change undone while the job runs leaves the job's record whole.
    tools::TransferRecord record = RecordTransfer(*app, tools::UndoKind::kCopy);
    record.Plan({{Src() + "a.txt", Dst() + "a.txt"}});
    ASSERT_TRUE(platform::CopyFileNoReplace(Src() + "a.txt", Dst() + "a.txt"));
    app->CurrentFile = Src() + "c.txt";
    Run("bw_rename(renamed.txt)");
    ASSERT_TRUE(dir.Exists("src/renamed.txt"));
    Main().Undo1->trigger();
    ASSERT_EQ(dir.Read("src/c.txt"), "src/c.txt");
  }
  EXPECT_EQ(Caption(), "Undo copy of a.txt");
  {
    // The job itself undone while it runs: its later copies do not bring it back.
    tools::TransferRecord record = RecordTransfer(*app, tools::UndoKind::kCopy);
    record.Plan({{Src() + "b.txt", Dst() + "sub/b.txt"}, {Src() + "c.txt", Dst() + "sub/c.txt"}});
    ASSERT_TRUE(platform::CopyFileNoReplace(Src() + "b.txt", Dst() + "sub/b.txt"));
    Main().Undo1->trigger();
    EXPECT_FALSE(dir.Exists("dst/sub/b.txt"));
    ASSERT_TRUE(platform::CopyFileNoReplace(Src() + "c.txt", Dst() + "sub/c.txt"));
  }
  EXPECT_EQ(Caption(), "Undo copy of a.txt");
  Restart();
  Main().Undo1->trigger();
  EXPECT_FALSE(dir.Exists("dst/a.txt"));
  EXPECT_EQ(dir.Read("dst/sub/c.txt"), "src/c.txt");
  EXPECT_EQ(Caption(), "Undo");
}

TEST_F(UndoTransferTest, ARecordStopsAtItsCapWithAWarningAndAJobThatMadeNothingLeavesNone) {
  std::vector<tools::TransferRecord::Pair> pairs;
  for (int i = 0; i < 12000; ++i)
    pairs.push_back({Src() + "a.txt", Dst() + std::string(250, 'n') + std::to_string(i)});
  {
    tools::TransferRecord record = RecordTransfer(*app, tools::UndoKind::kCopy);
    record.Plan(pairs);
    const auto planned = History();
    ASSERT_EQ(planned.size(), 1u);
    ASSERT_LT(planned[0].items.size(), pairs.size());
    record.Plan({pairs.back()});  // still full
    EXPECT_EQ(History().size(), 1u);
    const std::string full = "> Warning: The undo record of this copy is full (4 MiB): \"" + Src() +
                             "a.txt\" and the files after it can not be undone";
    EXPECT_EQ(std::count(echoed.begin(), echoed.end(), full), 1);
  }
  EXPECT_TRUE(History().empty());
}

TEST_F(UndoTransferTest, UndoOfACopyAfterARestartTrashesTheCopiesButNotAChangedOne) {
  Run("bw_scan_dir(" + Src() + ")");
  Run("bw_copy(" + Dst() + ")");
  ASSERT_EQ(dir.Read("dst/b.txt"), "src/b.txt");
  dir.CreateFile("dst/b.txt", "written since");
  // The single-file copy window records its copy as another entry.
  app->CurrentFile = Src() + "a.txt";
  app->Show(app->frmCopyFile);
  app->frmCopyFile->txtCopyTo->setText(BytesToText(Dst() + "sub/one.txt"));
  app->frmCopyFile->bntCopyClick();
  ASSERT_TRUE(dir.Exists("dst/sub/one.txt"));

  Restart();
  EXPECT_EQ(Caption(), "Undo copy of a.txt");
  Main().Undo1->trigger();
  EXPECT_FALSE(dir.Exists("dst/sub/one.txt"));
  EXPECT_EQ(Caption(), "Undo copy of 3 files");
  Main().Undo1->trigger();
  EXPECT_FALSE(dir.Exists("dst/a.txt"));
  EXPECT_FALSE(dir.Exists("dst/c.txt"));
  EXPECT_TRUE(Trashed("a.txt") && Trashed("c.txt"));
  EXPECT_EQ(dir.Read("dst/b.txt"), "written since");
  EXPECT_TRUE(Printed("> Warning: Undo copy of 3 files left undone: \"" + Dst() +
                      "b.txt\" has changed since"));
  EXPECT_EQ(dir.Read("src/a.txt"), "src/a.txt");
  EXPECT_EQ(Caption(), "Undo");
}

TEST_F(UndoTransferTest, UndoOfAMoveAfterARestartPutsBackWhatItCanWithoutReplacing) {
  dir.CreateFile("src/d/inner", "inner");
  Run("bw_scan_dir(" + Dst() + ")");
  Main().PasteFiles({Src() + "a.txt", Src() + "d", Src() + "b.txt"}, true);
  ASSERT_EQ(dir.Read("dst/d/inner"), "inner");
  ASSERT_EQ(dir.Read("dst/a.txt"), "src/a.txt");
  app->CurrentFile = Dst() + "a.txt";
  Run("bw_rename(sub/moved.txt)");
  ASSERT_EQ(dir.Read("dst/sub/moved.txt"), "src/a.txt");

  Restart();
  EXPECT_EQ(Caption(), "Undo move of a.txt");
  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("dst/a.txt"), "src/a.txt");
  EXPECT_TRUE(Printed("> Undone: move of a.txt"));

  dir.CreateFile("src/b.txt", "newcomer");
  EXPECT_EQ(Caption(), "Undo move of 3 files");
  Main().Undo1->trigger();
  EXPECT_EQ(dir.Read("src/a.txt"), "src/a.txt");
  EXPECT_FALSE(dir.Exists("dst/a.txt"));
  EXPECT_EQ(dir.Read("src/d/inner"), "inner");
  EXPECT_EQ(dir.Read("src/b.txt"), "newcomer");
  EXPECT_EQ(dir.Read("dst/b.txt"), "src/b.txt");
  EXPECT_TRUE(Printed("> Warning: Undo move of 3 files left undone: \"" + Src() +
                      "b.txt\" is taken by another file"));
  EXPECT_EQ(Caption(), "Undo");
}

}  // namespace
