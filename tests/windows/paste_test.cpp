// Folders pasted and dropped on the file list: copied as trees with one question for a taken
// name, refused inside themselves, reported to the paste hook, and shown with a progress window
// whose Stop leaves no partial file.

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/paste_job.h"
#include "app/undo_command.h"
#include "support/window_fixture.h"
#include "tools/copy_progress.h"
#include "ui/byte_text.h"

namespace {

class PasteTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  void List(const std::string& path) {
    Main().SearchLine->setText(BytesToText(path));
    Main().ScanDirectory1Click();
  }
  bool Printed(const std::string& line) const {
    const std::vector<std::string> lines = ConsoleLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // Every copy and move in the undo history, as "copy"/"move" and source > target pairs.
  std::vector<std::string> Pasted() const {
    std::vector<std::string> pasted;
    for (const tools::UndoEntry& entry :
         UndoHistoryOf(*app).Load().value_or(std::vector<tools::UndoEntry>{})) {
      if (entry.kind != tools::UndoKind::kCopy && entry.kind != tools::UndoKind::kMove) continue;
      std::string text = entry.kind == tools::UndoKind::kMove ? "move" : "copy";
      for (const tools::TransferItem& item : entry.items)
        text += " " + item.source + " > " + item.target;
      pasted.push_back(text);
    }
    return pasted;
  }
};

TEST_F(PasteTest, FoldersArePastedAsTreesAndNeverIntoThemselves) {
  dir.CreateFile("from/pics/a.jpg", "a");
  dir.CreateFile("from/pics/deep/b.jpg", "b");
  ASSERT_EQ(symlink("deep", (dir.Slash() + "from/pics/link").c_str()), 0);
  dir.CreateFile("to/pics/old.jpg", "old");
  CreateApp();
  List(dir.Slash() + "to/");
  const std::string pics = dir.Slash() + "from/pics";
  // The taken folder name is asked about once, not for each file inside it.
  dialogs.message_answers = {MsgAnswer::kYes};
  Main().PasteFiles({pics}, false);
  EXPECT_EQ(dialogs.asked.size(), 1);
  EXPECT_EQ(dir.Read("to/pics (2)/deep/b.jpg"), "b");
  EXPECT_EQ(dir.Read("to/pics (2)/link/b.jpg"), "b");
  struct stat st;
  ASSERT_EQ(lstat((dir.Slash() + "to/pics (2)/link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.Read("to/pics/old.jpg"), "old");
  EXPECT_FALSE(dir.Exists("to/pics/a.jpg"));
  EXPECT_TRUE(Printed("> Copied: " + dir.Slash() + "to/pics (2)"));

  // Into itself or below itself: refused, and nothing is made.
  List(pics + "/deep/");
  Main().PasteFiles({pics}, false);
  EXPECT_TRUE(Printed("> Error: Can't copy \"" + pics + "\" into itself"));
  EXPECT_FALSE(dir.Exists("from/pics/deep/pics"));

  // A move takes the tree away; the history holds every paste that made something.
  List(dir.Slash() + "to/");
  dialogs.message_answers = {MsgAnswer::kYes};
  Main().PasteFiles({pics}, true);
  EXPECT_FALSE(dir.Exists("from/pics"));
  EXPECT_EQ(dir.Read("to/pics (3)/a.jpg"), "a");
  const std::vector<std::string> expected = {
      "copy " + pics + " > " + dir.Slash() + "to/pics (2)",
      "move " + pics + " > " + dir.Slash() + "to/pics (3)",
  };
  EXPECT_EQ(Pasted(), expected);
}

TEST_F(PasteTest, ALongPasteShowsItsProgressAndStopLeavesNoPartialFile) {
  dir.CreateFile("from/small.txt", "small");
  dir.CreateSparse("from/big.bin", std::int64_t{4} << 30);
  dir.CreateFile("from/last.txt", "last");
  dir.CreateDir("to");
  CreateApp();
  List(dir.Slash() + "to/");
  PasteJob& job = Main().paste_job();
  // A quick paste shows no window.
  Main().PasteFiles({dir.Slash() + "from/small.txt"}, false);
  EXPECT_FALSE(job.window()->isVisible());
  EXPECT_EQ(dir.Read("to/small.txt"), "small");

  // However fast the disk, the window shows (at once, here) and Stop lands inside the big copy.
  job.show_after_ms = 0;
  bool shown = false;
  QTimer stopper;
  stopper.setInterval(5);
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (!job.window()->isVisible()) return;
    shown = true;
    if (dir.Exists("to/big.bin")) job.panel()->btnStop->click();
  });
  stopper.start();
  Main().PasteFiles({dir.Slash() + "from/last.txt", dir.Slash() + "from/big.bin"}, false);
  stopper.stop();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(job.window()->isVisible());
  EXPECT_EQ(dir.Read("to/last.txt"), "last");
  EXPECT_FALSE(dir.Exists("to/big.bin"));
  EXPECT_TRUE(Printed("> Warning: Copy stopped, the partial copy was removed: \"" + dir.Slash() +
                      "to/big.bin\""));
  const std::vector<std::string> pasted = Pasted();
  ASSERT_EQ(pasted.size(), 2u);
  EXPECT_EQ(pasted.back(),
            "copy " + dir.Slash() + "from/last.txt > " + dir.Slash() + "to/last.txt");
}

}  // namespace
