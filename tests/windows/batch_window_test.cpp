// The batch window on real files: the numbering and replace runs, the preview, the undo and the
// script page.

#include <QApplication>
#include <QListWidget>
#include <QStringList>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "console/console_window.h"
#include "platform/append_file.h"
#include "support/window_fixture.h"
#include "tools/batch_window.h"
#include "tools/rename_journal_rules.h"
#include "tools/undo_history.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

using P = tools::NameProblem;

class BatchWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    dir.CreateFile("defvars.txt");  // without it every expanded name adds a warning
    CreateApp();
    ListWork();
  }
  TfrmBatch& Batch() { return *app->frmBatch; }
  // Lists the work directory in the main window, as the batch runs take their directory there.
  void ListWork() {
    app->Form1->SearchLine->setText(BytesToText(work.Slash()));
    app->Guarded([&] { app->Form1->ScanDirectory1Click(); });
  }
  void SetList(const QStringList& entries) {
    Batch().filelest->clear();
    Batch().filelest->addItems(entries);
  }
  QStringList List() {
    QStringList items;
    for (int i = 0; i < Batch().filelest->count(); ++i) items << Batch().filelest->item(i)->text();
    return items;
  }
  void Click(void (TfrmBatch::*handler)()) {
    echoed.clear();
    app->Guarded([&] { (Batch().*handler)(); });
  }
  bool Echoed(const std::string& line) {
    return std::find(echoed.begin(), echoed.end(), line) != echoed.end();
  }
  // The preview as it stands once the pending events are through.
  std::vector<std::string> Preview() {
    QApplication::processEvents();
    return Batch().PreviewModel->Names();
  }

  TempDir work;
};

// Every file of a directory with its contents.
std::map<std::string, std::string> Files(const TempDir& d) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(d.Path())) {
    const std::string name = entry.path().filename().string();
    files[name] = d.Read(name);
  }
  return files;
}

TEST_F(BatchWindowTest, NumberingRunRenamesReportsEachFileAndRescans) {
  work.CreateFile("a.txt", "A");
  work.CreateFile("b.doc", "B");
  SetList({"a.txt", "b.doc"});
  Click(&TfrmBatch::butbtngoClick);

  EXPECT_EQ(work.Read("0_a"), "A");
  EXPECT_EQ(work.Read("1_b"), "B");
  EXPECT_FALSE(work.Exists("a.txt"));
  const std::vector<std::string> expected = {"Starting renaming...", "Renaming: \"a.txt\" -> \"0_a",
                                             "Renaming: \"b.doc\" -> \"1_b"};
  ASSERT_GE(echoed.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(echoed.begin(), echoed.begin() + 3), expected);
  EXPECT_EQ(List(), QStringList({"0_a", "1_b"}));
  EXPECT_EQ(Batch().ProgressBar1->maximum(), 2);
  EXPECT_EQ(Batch().ProgressBar1->value(), 2);
  EXPECT_TRUE(app->frmConsole->isVisible());
  // The main list was read again, and the closing message came last.
  const auto& listed = app->Form1->Entries();
  EXPECT_NE(std::find(listed.begin(), listed.end(), "0_a"), listed.end());
  ASSERT_FALSE(dialogs.asked.isEmpty());
  EXPECT_TRUE(dialogs.asked.back().endsWith(": E47"));
}

TEST_F(BatchWindowTest, AnExistingTargetIsLeftAloneAndTheCounterGoesOn) {
  work.CreateFile("a", "a");
  work.CreateFile("b", "b");
  work.CreateFile("c", "c");
  work.CreateFile("1_", "keep");
  SetList({"a", "b", "c"});
  Batch().masktoren->setText("$NUM_$OFN");  // no dots: $OFN is empty
  Click(&TfrmBatch::butbtngoClick);

  EXPECT_EQ(work.Read("1_"), "keep");
  EXPECT_EQ(work.Read("b"), "b");
  EXPECT_EQ(work.Read("0_"), "a");
  EXPECT_EQ(work.Read("2_"), "c");
  EXPECT_TRUE(Echoed("> Error: file allredy exist!"));
  EXPECT_EQ(List(), QStringList({"0_", "b", "2_"}));
  EXPECT_EQ(Batch().ProgressBar1->value(), 3);
}

TEST_F(BatchWindowTest, FailedAndRefusedRenamesAreReportedAndKeepTheirEntries) {
  work.CreateFile("a.txt", "A");
  work.CreateDir("sub");
  SetList({"gone.txt", "a.txt"});
  Click(&TfrmBatch::butbtngoClick);
  EXPECT_TRUE(Echoed("> Error: can not rename \"gone.txt\" to \"0_gone\""));
  EXPECT_FALSE(Echoed("Renaming: \"gone.txt\" -> \"0_gone"));
  EXPECT_EQ(List(), QStringList({"gone.txt", "1_a"}));

  // A name that reaches into another directory is refused, not carried out.
  Batch().masktoren->setText("sub/$NUM");
  SetList({"1_a"});
  Click(&TfrmBatch::butbtngoClick);
  EXPECT_TRUE(Echoed("> Error: \"sub/0\" is not a valid name for \"1_a\""));
  EXPECT_EQ(work.Read("1_a"), "A");
  EXPECT_FALSE(work.Exists("sub/0"));
}

TEST_F(BatchWindowTest, AVariableThatAsksAsksForEveryFileAndExternalOnesApply) {
  dir.CreateFile("defvars.txt", "$TAG=draft;\r\n");
  work.CreateFile("a.txt", "A");
  work.CreateFile("b.txt", "B");
  SetList({"a.txt", "b.txt"});
  Batch().masktoren->setText("$INPUT$NUM_$TAG");
  dialogs.input_answers = {QString("p"), QString("q")};
  Click(&TfrmBatch::butbtngoClick);
  EXPECT_EQ(work.Read("p0_draft"), "A");
  EXPECT_EQ(work.Read("q1_draft"), "B");
  EXPECT_EQ(dialogs.asked.filter("input: ").size(), 2);
}

TEST_F(BatchWindowTest, ARunProcessesWindowEventsAndCanBeStopped) {
  work.CreateFile("a", "a");
  work.CreateFile("b", "b");
  SetList({"a", "b"});
  // The stop button is pressed by an event that the run itself lets through; the pump lets
  // events through at most every ~15 ms, so the run starts after a longer pause.
  // An undo asked for meanwhile takes nothing back, nor off the history.
  const tools::UndoHistory history(app->SettingsDir() + tools::kUndoFileName);
  const std::string made = work.Path() + "/a";
  ASSERT_TRUE(history.Record({tools::UndoKind::kCreate, {}, {made}}));
  QTimer::singleShot(0, &Batch(), [this] {
    app->Form1->Undo1Click();
    Batch().btnStopClick();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  Click(&TfrmBatch::butbtngoClick);
  EXPECT_TRUE(Echoed("> Warning: a renaming run is in progress; nothing is undone"));
  const auto entries = history.Load();
  ASSERT_TRUE(entries);
  ASSERT_FALSE(entries->empty());
  EXPECT_EQ(entries->front().paths, std::vector<std::string>{made});
  EXPECT_TRUE(Echoed("> Warning: the run was stopped"));
  EXPECT_EQ(work.Read("a"), "a");
  EXPECT_EQ(List(), QStringList({"a", "b"}));
  EXPECT_TRUE(Batch().butbtngo->isEnabled());
  EXPECT_FALSE(Batch().btnStop->isEnabled());
}

TEST_F(BatchWindowTest, EmptyListReportsForNumberingAndDoesNothingForReplacing) {
  SetList({});
  Click(&TfrmBatch::btnDoClick);
  EXPECT_TRUE(echoed.empty());
  EXPECT_FALSE(app->frmConsole->isVisible());

  Click(&TfrmBatch::butbtngoClick);
  EXPECT_EQ(echoed, std::vector<std::string>({"> Error: E46"}));
  EXPECT_EQ(dialogs.asked, QStringList({"message: E1: E46"}));
}

TEST_F(BatchWindowTest, DirectoriesAreRenamedAsDirectoriesAndTheParentNever) {
  work.CreateDir("Docs");
  work.CreateFile("Docs/in.txt", "x");
  work.CreateFile("a.txt", "A");
  SetList({"../", "Docs/", "a.txt"});
  Batch().masktoren->setText("n$NUM");
  Click(&TfrmBatch::butbtngoClick);
  EXPECT_EQ(work.Read("n1/in.txt"), "x");
  EXPECT_EQ(work.Read("n2"), "A");
  EXPECT_EQ(List(), QStringList({"../", "n1/", "n2"}));
  EXPECT_TRUE(Echoed("> Error: \"../\" is not renamed"));
}

TEST_F(BatchWindowTest, ReplaceRunRenamesInTheCurrentDirectory) {
  work.CreateFile("banana.txt", "1");
  work.CreateFile("Apple.txt", "2");
  SetList({"banana.txt", "Apple.txt"});
  Batch().txtReplasewhat->setText("a");
  Batch().txtReplacewith->setText("b");
  EXPECT_EQ(Batch().StatusPanel0->text(), "\"a\" to \"b\"");
  Click(&TfrmBatch::btnDoClick);

  EXPECT_EQ(work.Read("bbnbnb.txt"), "1");
  EXPECT_EQ(work.Read("Apple.txt"), "2");  // "A" is not "a"
  EXPECT_EQ(echoed, std::vector<std::string>({"Renaming \"banana.txt\" - > \"bbnbnb.txt\"",
                                              "Renaming \"Apple.txt\" - > \"Apple.txt\"", "> Done!",
                                              "> OK"}));
  EXPECT_EQ(List(), QStringList({"bbnbnb.txt", "Apple.txt"}));

  // A target that exists is not replaced; the failure is reported.
  work.CreateFile("bpple.txt", "keep");
  Batch().txtReplasewhat->setText("A");
  Click(&TfrmBatch::btnDoClick);
  EXPECT_TRUE(Echoed("> Error: can not rename \"Apple.txt\" to \"bpple.txt\""));
  EXPECT_EQ(work.Read("bpple.txt"), "keep");
  EXPECT_EQ(work.Read("Apple.txt"), "2");
  EXPECT_EQ(List(), QStringList({"bbnbnb.txt", "Apple.txt"}));
}

TEST_F(BatchWindowTest, PreviewShowsTheNewNamesAndMarksConflictsWithoutAsking) {
  work.CreateFile("a.txt");
  work.CreateFile("b.txt");
  work.CreateFile("c.txt");
  work.CreateFile("2_c");  // outside the batch
  app->Show(&Batch());
  Batch().Pages->setCurrentWidget(Batch().sheettonombs);
  SetList({"a.txt", "b.txt", "c.txt"});
  EXPECT_EQ(Preview(), std::vector<std::string>({"0_a", "1_b", "2_c"}));
  EXPECT_EQ(Batch().PreviewModel->Problems(), std::vector<P>({P::kNone, P::kNone, P::kTaken}));
  EXPECT_EQ(Batch().lblPreview->text(), "3 files, 1 conflicts");

  Batch().masktoren->setText("same");
  Preview();
  EXPECT_EQ(Batch().PreviewModel->Problems(),
            std::vector<P>({P::kDuplicate, P::kDuplicate, P::kDuplicate}));

  // Variables that would ask stay as written; nothing is asked.
  Batch().masktoren->setText("$INPUT$NUM");
  EXPECT_EQ(Preview(), std::vector<std::string>({"$INPUT0", "$INPUT1", "$INPUT2"}));
  Batch().masktoren->setText("$OPENDL$NUM/");
  Preview();
  EXPECT_EQ(Batch().PreviewModel->Problems()[0], P::kInvalid);
  EXPECT_TRUE(dialogs.asked.isEmpty()) << dialogs.asked.join("\n").toStdString();

  // The replace page shows the replace texts' names.
  Batch().Pages->setCurrentWidget(Batch().tbsstrRep);
  Batch().txtReplasewhat->setText(".txt");
  Batch().txtReplacewith->setText(".md");
  EXPECT_EQ(Preview(), std::vector<std::string>({"a.md", "b.md", "c.md"}));
  // Nothing has touched the disk.
  EXPECT_TRUE(work.Exists("a.txt"));
  EXPECT_FALSE(work.Exists("a.md"));
}

TEST_F(BatchWindowTest, UndoRenamesBackAndOnlyOnce) {
  work.CreateFile("a.txt", "A");
  work.CreateFile("b.txt", "B");
  SetList({"a.txt", "b.txt"});
  app->Show(&Batch());
  EXPECT_FALSE(Batch().btnUndo->isEnabled());
  Click(&TfrmBatch::butbtngoClick);
  ASSERT_TRUE(work.Exists("1_b"));
  EXPECT_TRUE(Batch().btnUndo->isEnabled());

  Click(&TfrmBatch::btnUndoClick);
  EXPECT_EQ(work.Read("a.txt"), "A");
  EXPECT_EQ(work.Read("b.txt"), "B");
  EXPECT_FALSE(work.Exists("0_a"));
  EXPECT_EQ(List(), QStringList({"a.txt", "b.txt"}));
  // Taken back in reverse order.
  const std::vector<std::string> expected = {
      "Undoing the last renaming run...",
      "Renaming back: \"" + work.Slash() + "1_b\" -> \"" + work.Slash() + "b.txt\"",
      "Renaming back: \"" + work.Slash() + "0_a\" -> \"" + work.Slash() + "a.txt\"",
      "> Renamed back: 2 of 2"};
  ASSERT_GE(echoed.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(echoed.begin(), echoed.begin() + 4), expected);
  EXPECT_FALSE(Batch().btnUndo->isEnabled());

  Click(&TfrmBatch::btnUndoClick);
  EXPECT_EQ(echoed, std::vector<std::string>({"> Warning: there is no renaming run to undo"}));
}

TEST_F(BatchWindowTest, UndoWorksAfterARestartAndLeavesChangedFilesAlone) {
  work.CreateFile("a.txt", "A");
  work.CreateFile("b.txt", "B");
  SetList({"a.txt", "b.txt"});
  Click(&TfrmBatch::butbtngoClick);
  ASSERT_TRUE(work.Exists("0_a"));
  // Since the run, 1_b was replaced by another file of the same name (made while the old one
  // still existed, so that the file system cannot hand it the old one's inode again).
  work.CreateFile("1_b.new", "other");
  ASSERT_EQ(std::rename((work.Slash() + "1_b.new").c_str(), (work.Slash() + "1_b").c_str()), 0);

  app.reset();
  CreateApp();
  ListWork();
  Click(&TfrmBatch::btnUndoClick);
  EXPECT_EQ(work.Read("a.txt"), "A");
  EXPECT_EQ(work.Read("1_b"), "other");
  EXPECT_FALSE(work.Exists("b.txt"));
  EXPECT_TRUE(
      Echoed("> Warning: \"" + work.Slash() + "1_b\" has changed since the run; not renamed back"));
  EXPECT_TRUE(Echoed("> Renamed back: 1 of 2"));

  // The pair left over stays for another try, once the name holds the file again.
  ASSERT_EQ(std::remove((work.Slash() + "1_b").c_str()), 0);
  Click(&TfrmBatch::btnUndoClick);
  EXPECT_TRUE(Echoed("> Renamed back: 0 of 1"));
}

TEST_F(BatchWindowTest, TwoStartCommandsInARowNumberTheWholeListFromZero) {
  work.CreateFile("a");
  work.CreateFile("b");
  ListWork();
  SetList({});
  // Select the two files in the main list, not its "../".
  const auto& entries = app->Form1->Entries();
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    if (entries[static_cast<std::size_t>(row)] != "../") {
      app->Form1->fList->selectionModel()->select(app->Form1->fListModel->index(row),
                                                  QItemSelectionModel::Select);
    }
  }
  Run("bt_start(x$NUM)");
  EXPECT_TRUE(work.Exists("x0"));
  EXPECT_TRUE(work.Exists("x1"));
  EXPECT_FALSE(Batch().isVisible());

  // The second run takes the first run's entries, then the newly selected ones ("../", x0, x1
  // and c in listing order), and numbers them all from 0: x0 and x1 are renamed by their first
  // entries, so their second ones fail.
  work.CreateFile("c", "c");
  ListWork();
  const std::vector<std::string> listed = app->Form1->Entries();
  ASSERT_EQ(listed.size(), 4u);
  Run("bw_sel_all()");
  Run("bt_start(y$NUM)");
  QStringList expected = {"y0", "y1"};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    expected << (listed[i] == "c" ? "y" + QString::number(2 + i) : BytesToText(listed[i]));
  }
  EXPECT_EQ(List(), expected);
  EXPECT_TRUE(work.Exists("y0"));
  EXPECT_TRUE(work.Exists("y1"));
  EXPECT_FALSE(work.Exists("c"));
  EXPECT_TRUE(Echoed("> Error: \"../\" is not renamed"));
}

TEST_F(BatchWindowTest, EveryEntryIsRenamedInTheDirectoryItWasTakenFrom) {
  TempDir a_dir, b_dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) a_dir.CreateFile(name, name);
  b_dir.CreateFile("1_b", "B1");
  b_dir.CreateFile("2_c", "B2");
  b_dir.CreateFile("keep.txt", "K");
  SetList({});
  Run("bw_scan_dir(" + a_dir.Slash() + ")");
  Run("bw_sel_all()");
  Run("bt_start($NUM_$OFN)");
  // B's own "1_b" and "2_c" bear the names the first run gave to A's files, and the list still
  // holds those names when the second run starts in B.
  ASSERT_TRUE(a_dir.Exists("1_b") || a_dir.Exists("1_a") || a_dir.Exists("1_c"));
  Run("bw_scan_dir(" + b_dir.Slash() + ")");
  Run("bw_mask(keep*)");
  Run("bw_sel_all()");
  Run("bt_start(X$NUM_$OFN)");

  std::map<std::string, std::string> in_b = Files(b_dir);
  EXPECT_EQ(in_b["1_b"], "B1");
  EXPECT_EQ(in_b["2_c"], "B2");
  EXPECT_EQ(in_b.size(), 3u);
  EXPECT_EQ(in_b.count("keep.txt"), 0u);
  std::map<std::string, std::string> in_a = Files(a_dir);
  EXPECT_EQ(in_a.size(), 3u);
  for (const auto& [name, text] : in_a) EXPECT_EQ(name[0], 'X') << name;

  // The replace run, started while A is listed, renames B's entry in B too.
  Run("bw_scan_dir(" + a_dir.Slash() + ")");
  Batch().txtReplasewhat->setText("X");
  Batch().txtReplacewith->setText("Y");
  Click(&TfrmBatch::btnDoClick);
  in_b = Files(b_dir);
  EXPECT_EQ(in_b["1_b"], "B1");
  EXPECT_EQ(in_b["2_c"], "B2");
  EXPECT_EQ(in_b.size(), 3u);
  in_a = Files(a_dir);
  EXPECT_EQ(in_a.size(), 3u);
  for (const auto& [name, text] : in_a) EXPECT_EQ(name[0], 'Y') << name;
  for (const auto& [name, text] : in_b) {
    if (text == "K") {
      EXPECT_EQ(name[0], 'Y') << name;
    }
  }
}

TEST_F(BatchWindowTest, ScriptPageRunsOpensAndSaves) {
  // Run passes every line of the built-in text, header and end line included.
  Click(&TfrmBatch::btnRunClick);
  EXPECT_EQ(echoed, std::vector<std::string>(
                        {"> BW Script started...", "> Error: Command must ends on \"()\"",
                         "> Error: Command must ends on \"()\"", "> End of BW Script."}));

  const std::string script = work.CreateFile("job.bws", "BEGIN BWSCRIPT;\r\ncn_print(ran)\r\nEND;");
  dialogs.open_answers = {BytesToText(script), BytesToText(script)};
  dialogs.message_answers = {MsgAnswer::kNo, MsgAnswer::kYes};
  Click(&TfrmBatch::ToolButton2Click);
  EXPECT_EQ(Batch().memscript->toPlainText(), "BEGIN BWSCRIPT;\ncn_print(ran)\nEND;");
  EXPECT_EQ(Batch().windowTitle(), "E44");
  EXPECT_FALSE(Echoed("ran"));
  Click(&TfrmBatch::ToolButton2Click);
  EXPECT_TRUE(Echoed("ran"));

  struct Case {
    const char* chosen;
    const char* written;
  };
  for (const Case& c :
       {Case{"test", "test.bws"}, Case{"job.BWS", "job.BWS"}, Case{"notes.txt", "notes.txt.bws"}}) {
    dialogs.save_answers = {BytesToText(work.Slash() + c.chosen)};
    Click(&TfrmBatch::ToolButton1Click);
    EXPECT_EQ(work.Read(c.written), "BEGIN BWSCRIPT;\r\ncn_print(ran)\r\nEND;") << c.chosen;
    EXPECT_EQ(echoed,
              std::vector<std::string>({"> BW Saved in \"" + work.Slash() + c.written + "\""}));
  }
  dialogs.save_answers = {};
  Click(&TfrmBatch::ToolButton1Click);  // cancelled
  EXPECT_TRUE(echoed.empty());
}

TEST_F(BatchWindowTest, CreationStepRunAgainListsTheVariablesOnceAndLoadsTheDefaultScript) {
  dir.CreateFile("defvars.txt", "$A=1;\r\n$B=2;\r\n");
  dir.CreateFile("scr_def.bws", "begin bwscript;\r\n//mine\r\nend;");
  Batch().FormCreate();
  Batch().FormCreate();
  // The variables are read when the window is first shown, not before.
  EXPECT_EQ(Batch().legend1->toPlainText().split('\n').size(), 7);
  app->Show(app->frmBatch);
  Batch().FormCreate();
  const QStringList legend = Batch().legend1->toPlainText().split('\n');
  ASSERT_EQ(legend.size(), 9);
  EXPECT_EQ(legend[6], "External constants:");
  EXPECT_EQ(legend.mid(7), QStringList({"$A=1;", "$B=2;"}));
  EXPECT_EQ(Batch().memscript->toPlainText(), "begin bwscript;\n//mine\nend;");
  EXPECT_EQ(Batch().StatusPanel0->text(), "\"\" to \"\"");
}

}  // namespace

// Closing the program with files listed resets the list's model while the window is already half
// destroyed; that signal must not reach the window's handlers (the sanitizer build fails here if
// it does), and closing changes nothing on disk.
TEST_F(BatchWindowTest, ClosingWithFilesListedLeavesTheWindowAndTheFilesAlone) {
  work.CreateFile("a.txt", "A");
  work.CreateFile("b.doc", "B");
  SetList({"a.txt", "b.doc"});
  app.reset();
  EXPECT_TRUE(work.Exists("a.txt"));
  EXPECT_TRUE(work.Exists("b.doc"));
}

namespace {

TEST_F(BatchWindowTest, UndoRefusesAJournalThatNamesOtherDirectories) {
  TempDir victim;
  TempDir elsewhere;
  const std::string secret = victim.CreateFile("secret.txt", "s");
  work.CreateFile("0_a", "A");
  const auto id = platform::GetEntryId(secret);
  const auto own = platform::GetEntryId(work.Slash() + "0_a");
  ASSERT_TRUE(id && own);
  // An old journal whose second pair would carry a file out of its directory.
  dir.CreateFile("renames.bw", "RUN\r\nMOVE\t" + std::to_string(own->device) + "\t" +
                                   std::to_string(own->inode) + "\t" + work.Slash() + "a\t" +
                                   work.Slash() + "0_a\r\nMOVE\t" + std::to_string(id->device) +
                                   "\t" + std::to_string(id->inode) + "\t" + elsewhere.Slash() +
                                   "stolen.txt\t" + secret + "\r\n");
  echoed.clear();
  Click(&TfrmBatch::btnUndoClick);
  EXPECT_EQ(victim.Read("secret.txt"), "s");
  EXPECT_FALSE(elsewhere.Exists("stolen.txt"));
  EXPECT_EQ(work.Read("0_a"), "A");  // refused as a whole
  EXPECT_TRUE(Echoed("> Error: \"" + elsewhere.Slash() + "stolen.txt\" -> \"" + secret +
                     "\" does not stay in one directory"));
}

TEST_F(BatchWindowTest, UndoLeavesAFileMadeAgainUnderTheNewName) {
  work.CreateFile("a.txt", "A");
  SetList({"a.txt"});
  Click(&TfrmBatch::butbtngoClick);
  ASSERT_EQ(work.Read("0_a"), "A");
  // Deleted and made again: the file system may give the newcomer the same inode.
  ASSERT_EQ(std::remove((work.Slash() + "0_a").c_str()), 0);
  work.CreateFile("0_a", "newcomer");
  echoed.clear();
  Click(&TfrmBatch::btnUndoClick);
  EXPECT_EQ(work.Read("0_a"), "newcomer");
  EXPECT_FALSE(work.Exists("a.txt"));
  EXPECT_TRUE(Echoed("> Renamed back: 0 of 1"));
}

}  // namespace
