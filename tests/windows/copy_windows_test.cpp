// The single and multi-file copy windows: targets, the console lines, never replacing a file,
// names kept across openings, files that are not regular, and a copy stopped half-way.

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "console/console_window.h"
#include "support/window_fixture.h"
#include "tools/copy_progress.h"
#include "tools/copy_windows.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"

namespace {

class CopyWindowsTest : public WindowTest {
 protected:
  // An empty variables file keeps its warning out of the console lines looked at.
  void SetUp() override { dir.CreateFile("defvars.txt", ""); }
  TfrmCopyFile& Single() { return *app->frmCopyFile; }
  TfrmMassCopy& Mass() { return *app->frmMassCopy; }
  // The main window lists `from` with `entry` as its current file.
  void Select(const std::string& from, const std::string& entry) {
    app->CurrentDir = from;
    app->CurrentFile = from + entry;
  }
  void Queue(const std::vector<std::string>& names) {
    for (const std::string& name : names) Mass().ArrToCop->addItem(BytesToText(name));
  }
  // Points the multi-file window at a target directory as typing its path would.
  void TypeTarget(const std::string& target) { Mass().txtCopyTo->setText(BytesToText(target)); }
};

TEST_F(CopyWindowsTest, SingleCopyShowsSourceAndTargetAndCopies) {
  const std::string src = dir.CreateDir("src");
  const std::string dst = dir.CreateDir("dst");
  dir.CreateFile("src/a.txt", "alpha");
  CreateApp();
  Select(src + "/", "a.txt");
  app->Show(&Single());
  EXPECT_EQ(Single().txtFileToCopy->text(), BytesToText(src + "/a.txt"));
  EXPECT_EQ(Single().txtCopyTo->text(), BytesToText(src + "/a.txt"));
  Single().dirCopyTo->SetDirectory(dst);
  EXPECT_EQ(Single().txtCopyTo->text(), BytesToText(dst + "/a.txt"));

  // The target may hold variables; the console line shows them replaced.
  Single().txtCopyTo->setText("$EXEdst/b.txt");
  Single().bntCopyClick();
  EXPECT_EQ(dir.Read("dst/b.txt"), "alpha");
  EXPECT_EQ(ConsoleLines().front(),
            "> Copy: \"" + src + "/a.txt\" to \"" + dir.Slash() + "dst/b.txt\"");
  EXPECT_FALSE(Single().isVisible());
  EXPECT_EQ(dialogs.critical_beeps, 0);
}

TEST_F(CopyWindowsTest, SingleCopyOntoAnExistingFileBeepsAndKeepsIt) {
  dir.CreateFile("a.txt", "new");
  dir.CreateFile("dst/a.txt", "old");
  CreateApp();
  Select(dir.Slash(), "a.txt");
  app->Show(&Single());
  Single().dirCopyTo->SetDirectory(dir.Slash() + "dst");
  Single().bntCopyClick();
  EXPECT_EQ(dialogs.critical_beeps, 1);
  EXPECT_EQ(dir.Read("dst/a.txt"), "old");
  EXPECT_TRUE(Single().isVisible());
  ASSERT_GE(ConsoleLines().size(), 2u);
  EXPECT_EQ(ConsoleLines()[0],
            "> Error: Can't copy \"" + dir.Slash() + "a.txt\" to \"" + dir.Slash() + "dst/a.txt\"");
  EXPECT_EQ(ConsoleLines()[1].rfind("> Copy: ", 0), 0u);
  // The window says it too: the console may be hidden.
  EXPECT_EQ(TextToBytes(Single().lblStatus->text()), ConsoleLines()[0]);
  Single().btnClose->click();
  EXPECT_FALSE(Single().isVisible());
}

TEST_F(CopyWindowsTest, AClickOnADirectorySetsTheTargetAndTheMassCopyStartsAtTheList) {
  dir.CreateFile("list/a.txt", "alpha");
  dir.CreateDir("list/sub");
  CreateApp();
  Select(dir.Slash() + "list/", "a.txt");
  app->Show(&Single());
  QListWidget* tree = Single().dirCopyTo;
  const auto items = tree->findItems("sub", Qt::MatchEndsWith);
  ASSERT_EQ(items.size(), 1);
  emit tree->itemClicked(items.front());
  QApplication::processEvents();
  EXPECT_EQ(TextToBytes(Single().txtCopyTo->text()), dir.Slash() + "list/sub/a.txt");
  Single().close();

  // The multi-file window opens at the listed directory, not the program directory.
  Queue({"a.txt"});
  app->Show(&Mass());
  EXPECT_EQ(TextToBytes(Mass().txtCopyTo->text()), dir.Slash() + "list/");
  const auto mass_items = Mass().dirCopyTo->findItems("sub", Qt::MatchEndsWith);
  ASSERT_EQ(mass_items.size(), 1);
  emit Mass().dirCopyTo->itemClicked(mass_items.front());
  QApplication::processEvents();
  EXPECT_EQ(TextToBytes(Mass().txtCopyTo->text()), dir.Slash() + "list/sub/");
}

TEST_F(CopyWindowsTest, SingleCopyOfANamedPipeIsSkippedWithAMessage) {
  const std::string fifo = dir.Slash() + "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  dir.CreateDir("dst");
  CreateApp();
  Select(dir.Slash(), "pipe");
  app->Show(&Single());
  Single().dirCopyTo->SetDirectory(dir.Slash() + "dst");
  Single().bntCopyClick();
  EXPECT_EQ(ConsoleLines().front(), "> Warning: Not a regular file, skipped: \"" + fifo + "\"");
  EXPECT_EQ(dialogs.critical_beeps, 1);
  EXPECT_FALSE(dir.Exists("dst/pipe"));
}

TEST_F(CopyWindowsTest, MassCopyOfThreeWithTheSecondExisting) {
  for (const char* name : {"one", "two", "three"}) dir.CreateFile(std::string("src/") + name, name);
  dir.CreateFile("dst/two", "kept");
  CreateApp();
  const std::string src = dir.Slash() + "src/";
  const std::string dst = dir.Slash() + "dst";
  Select(src, "one");
  Queue({"one", "two", "three"});
  TypeTarget(dst);
  EXPECT_EQ(Mass().dirCopyTo->Directory(), dst);
  app->Show(&Mass());
  Mass().btnCopyClick();
  const std::vector<std::string> expected = {
      "> OK : Finished!",
      "> OK : Copy \"" + src + "three\" to \"" + dst + "/three\"",
      "> Error: Can't copy...",
      "> OK : Copy \"" + src + "one\" to \"" + dst + "/one\"",
  };
  std::vector<std::string> top = ConsoleLines();
  top.resize(4);
  EXPECT_EQ(top, expected);
  EXPECT_EQ(dir.Read("dst/one"), "one");
  EXPECT_EQ(dir.Read("dst/two"), "kept");
  EXPECT_EQ(dir.Read("dst/three"), "three");
  // The window stays open and names what it could not copy: the console's line does not.
  EXPECT_TRUE(Mass().isVisible());
  EXPECT_EQ(TextToBytes(Mass().lblStatus->text()),
            "1 of 3 files were not copied:\n> Error: Can't copy \"" + src + "two\" to \"" + dst +
                "/two\"");
  EXPECT_TRUE(app->frmConsole->isVisible());

  // The names stay: a second run goes through them again, before the new ones.
  dir.CreateFile("src/four", "four");
  Queue({"four"});
  Mass().btnCopyClick();
  const std::vector<std::string> second = {
      "> OK : Finished!",       "> OK : Copy \"" + src + "four\" to \"" + dst + "/four\"",
      "> Error: Can't copy...", "> Error: Can't copy...",
      "> Error: Can't copy...",
  };
  std::vector<std::string> again = ConsoleLines();
  again.resize(5);
  EXPECT_EQ(again, second);
  EXPECT_EQ(Mass().ArrToCop->count(), 4);

  // A run that copies everything closes the window.
  app->Show(&Mass());
  Mass().ArrToCop->clear();
  Queue({"five"});
  dir.CreateFile("src/five", "five");
  Mass().btnCopyClick();
  EXPECT_FALSE(Mass().isVisible());
  EXPECT_EQ(dir.Read("dst/five"), "five");
}

TEST_F(CopyWindowsTest, MassCopyTargetFollowsTypedDirectoriesOnly) {
  const std::string dst = dir.CreateDir("dst");
  CreateApp();
  TypeTarget(dst);
  EXPECT_EQ(Mass().dirCopyTo->Directory(), dst);
  TypeTarget(dst + "/missing");
  EXPECT_EQ(Mass().dirCopyTo->Directory(), dst);
  EXPECT_EQ(Mass().txtCopyTo->text(), BytesToText(dst + "/missing"));
  // Moving the directory list shows its directory in the text.
  Mass().dirCopyTo->SetDirectory(dir.Path());
  EXPECT_EQ(Mass().txtCopyTo->text(), BytesToText(dir.Slash()));
  app->Show(&Mass());
  Mass().btnQuit->click();
  EXPECT_FALSE(Mass().isVisible());
}

TEST_F(CopyWindowsTest, MassCopySkipsWhatIsNotARegularFile) {
  dir.CreateFile("src/a", "a");
  dir.CreateDir("src/folder");
  const std::string fifo = dir.Slash() + "src/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  dir.CreateDir("dst");
  CreateApp();
  Select(dir.Slash() + "src/", "a");
  Queue({"folder/", "pipe", "a"});
  TypeTarget(dir.Slash() + "dst");
  Mass().btnCopyClick();
  const auto lines = ConsoleLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "> OK : Finished!");
  EXPECT_EQ(lines[1].rfind("> OK : Copy ", 0), 0u);
  EXPECT_EQ(lines[2], "> Warning: Not a regular file, skipped: \"" + fifo + "\"");
  EXPECT_EQ(lines[3].rfind("> Warning: Not a regular file, skipped: ", 0), 0u);
  EXPECT_EQ(dir.Read("dst/a"), "a");
  EXPECT_FALSE(dir.Exists("dst/pipe"));
  EXPECT_FALSE(dir.Exists("dst/folder"));
}

TEST_F(CopyWindowsTest, CopiesOfALinkCopyWhatItNamesAndCanBeUndone) {
  dir.CreateFile("src/real", "what the link names");
  ASSERT_EQ(symlink("real", (dir.Slash() + "src/link").c_str()), 0);
  dir.CreateDir("dst");
  CreateApp();
  Select(dir.Slash() + "src/", "link");
  Queue({"link"});
  TypeTarget(dir.Slash() + "dst");
  Mass().btnCopyClick();
  ASSERT_EQ(dir.Read("dst/link"), "what the link names");
  app->Form1->Undo1->trigger();
  EXPECT_FALSE(dir.Exists("dst/link"));
  EXPECT_EQ(dir.Read("src/real"), "what the link names");
  EXPECT_TRUE(dir.Exists("src/link"));

  // The single copy window the same way.
  app->Show(&Single());
  Single().txtCopyTo->setText(BytesToText(dir.Slash() + "dst/one"));
  Single().bntCopyClick();
  ASSERT_EQ(dir.Read("dst/one"), "what the link names");
  app->Form1->UpdateUndoCaption();  // as opening the menu does
  EXPECT_EQ(TextToBytes(app->Form1->Undo1->text()), "Undo copy of link");
  app->Form1->Undo1->trigger();
  EXPECT_FALSE(dir.Exists("dst/one"));
  EXPECT_TRUE(dir.Exists("src/link"));
}

TEST_F(CopyWindowsTest, ACopyStoppedHalfWayLeavesNoPartialFile) {
  dir.CreateFile("src/first", "first");
  dir.CreateSparse("src/big", std::int64_t{1} << 30);
  dir.CreateFile("src/last", "last");
  dir.CreateDir("dst");
  CreateApp();
  Select(dir.Slash() + "src/", "big");
  Queue({"first", "big", "last"});
  TypeTarget(dir.Slash() + "dst");
  app->Show(&Mass());
  // The stop button is pressed while the big file is being copied: the copy lets window
  // messages through, and the progress row shows how far it came.
  bool seen_running = false;
  QTimer stopper;
  stopper.setInterval(1);
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (!Mass().pnlProgress->running() || !dir.Exists("dst/big")) return;
    seen_running = Mass().pnlProgress->isVisible() && !Mass().btnCopy->isEnabled();
    Mass().pnlProgress->btnStop->click();
  });
  stopper.start();
  Mass().btnCopyClick();
  stopper.stop();
  EXPECT_TRUE(seen_running);
  EXPECT_EQ(dir.Read("dst/first"), "first");
  EXPECT_FALSE(dir.Exists("dst/big"));
  EXPECT_FALSE(dir.Exists("dst/last"));
  EXPECT_EQ(ConsoleLines().front(), "> Warning: Copy stopped, the partial copy was removed: \"" +
                                        dir.Slash() + "dst/big\"");
  EXPECT_TRUE(Mass().isVisible());
  EXPECT_TRUE(Mass().btnCopy->isEnabled());
  EXPECT_FALSE(Mass().pnlProgress->isVisible());

  // The single window stops the same way when it is closed during the copy.
  Select(dir.Slash() + "src/", "big");
  app->Show(&Single());
  Single().dirCopyTo->SetDirectory(dir.Slash() + "dst");
  QObject::disconnect(&stopper, nullptr, nullptr, nullptr);
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (Single().pnlProgress->running() && dir.Exists("dst/big")) Single().btnClose->click();
  });
  stopper.start();
  Single().bntCopyClick();
  stopper.stop();
  EXPECT_FALSE(dir.Exists("dst/big"));
  EXPECT_FALSE(Single().isVisible());
  EXPECT_EQ(dialogs.critical_beeps, 0);
}

}  // namespace
