// Favourite applications: the menu built from favapps.bw, "Add...", and starting an entry.

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QStringList>
#include <chrono>
#include <thread>

#include "app/main_window.h"
#include "config/options_window.h"
#include "support/window_fixture.h"

namespace {

class FavouritesTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  QStringList Captions() {
    QStringList captions;
    for (QAction* a : Main().FAVAPPS1->actions()) captions << a->text();
    return captions;
  }
};

TEST_F(FavouritesTest, NewestLineOnTopAndCaseOrAmpersandTwinsDropped) {
  UseTestLanguage();
  dir.CreateFile("favapps.bw", "/bin/A\r\n/bin/B\r\n/bin/&a\r\n/BIN/b\n/bin/C");
  CreateApp();
  EXPECT_EQ(Captions(), (QStringList{"/bin/C", "/bin/B", "/bin/A", "", "E40..."}));
}

TEST_F(FavouritesTest, AddAppendsToTheFileAndTheMenuAndCancelTouchesNothing) {
  UseTestLanguage();
  CreateApp();  // no favapps.bw: an empty list
  EXPECT_EQ(Captions(), (QStringList{"", "E40..."}));
  EXPECT_TRUE(dialogs.errors.isEmpty());

  dialogs.open_answers = {"/usr/bin/first"};
  Main().Default1->trigger();
  dialogs.open_answers = {"/opt/app/second.desktop"};
  Main().Default1->trigger();
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/first\r\n/opt/app/second.desktop\r\n");
  EXPECT_EQ(Captions(), (QStringList{"/opt/app/second.desktop", "/usr/bin/first", "", "E40..."}));
  EXPECT_EQ(app->Optionz->faplist->count(), 2);

  Main().Default1->trigger();  // cancelled
  EXPECT_EQ(dir.Read("favapps.bw"), "/usr/bin/first\r\n/opt/app/second.desktop\r\n");
  EXPECT_EQ(Captions().size(), 4);
}

TEST_F(FavouritesTest, ADesktopEntryStartsTheProgramOfItsExecLine) {
  const std::string marker = dir.Slash() + "started.txt";
  const std::string entry = dir.CreateFile(
      "tool.desktop", "[Desktop Entry]\nName=Tool\nExec=/bin/sh -c \"echo started > " + marker +
                          "\" %U\n[Desktop Action x]\nExec=/bin/false\n");
  dir.CreateFile("favapps.bw", entry + "\r\n");
  CreateApp();
  Main().FAVAPPS1->actions().front()->trigger();
  EXPECT_EQ(ConsoleLines().front(), "> Favorite App: " + entry);
  for (int i = 0; i < 500 && dir.Read("started.txt") != "started\n"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(dir.Read("started.txt"), "started\n");
}

}  // namespace
