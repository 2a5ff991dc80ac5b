// What other windows ask of the main window and of App, checked on the controls it changes.

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <algorithm>
#include <functional>

#include "app/main_window.h"
#include "support/window_fixture.h"
#include "tools/hex_dump_view.h"
#include "tools/hex_viewer.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class MainWindowApiTest : public WindowTest {
 protected:
  TForm1& Form() { return *app->Form1; }
};

TEST_F(MainWindowApiTest, EachRequestChangesWhatItNames) {
  dir.CreateFile("a.txt");
  dir.CreateFile("b.log");
  dir.CreateFile("sub/c.txt");
  dir.CreateFile("sub/d.log");
  CreateApp();
  const std::string sub = dir.Slash() + "sub/";
  struct Case {
    const char* what;
    std::function<void(MainWindowApi&)> request;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"a directory is shown and listed", [&](MainWindowApi& main) { main.ShowDirectory(sub); },
       [&] {
         EXPECT_EQ(TextToBytes(Form().SearchLine->text()), sub);
         EXPECT_EQ(app->CurrentDir, sub);
         EXPECT_EQ(app->Main().ListedPath(), sub);
         EXPECT_EQ(Sorted(Form().Entries()), (std::vector<std::string>{"../", "c.txt", "d.log"}));
       }},
      {"a mask is named in its item and lists again",
       [&](MainWindowApi& main) { main.SetMask("*.txt"); },
       [&] {
         EXPECT_EQ(app->FileMask, "*.txt");
         EXPECT_EQ(Form().Mask1->text(), "string_23 *.txt");
         EXPECT_EQ(Form().Entries(), (std::vector<std::string>{"c.txt"}));
       }},
      {"the bookmark panel changes without listing",
       [&](MainWindowApi& main) {
         main.ShowDirectory(dir.Slash());
         main.SetBookmarks({sub, "/tmp/"});
         main.InsertBookmark(1, "/x/");
         main.RemoveBookmark(0);
       },
       [&] {
         EXPECT_EQ(Items(Form().bookmarkz), (QStringList{"/x/", "/tmp/"}));
         EXPECT_EQ(app->CurrentDir, dir.Slash());
       }},
      {"a panel is shown, its menu mark stays",
       [&](MainWindowApi& main) { main.ShowPanel(MainWindowApi::Panel::kDirTree, true); },
       [&] {
         EXPECT_FALSE(Form().DirTree->isHidden());
         EXPECT_TRUE(app->Main().PanelShown(MainWindowApi::Panel::kDirTree));
         EXPECT_FALSE(app->Main().PanelShown(MainWindowApi::Panel::kBookmarks));
         EXPECT_FALSE(Form().DIRTREE1->isChecked());
       }},
      {"the selected entries come in list order",
       [&](MainWindowApi& main) {
         main.SetMask("*.*");
         main.SELECTALL1Click();
         Form().fList->selectionModel()->select(Form().fListModel->index(0),
                                                QItemSelectionModel::Deselect);
       },
       [&] {
         std::vector<std::string> rest(Form().Entries().begin() + 1, Form().Entries().end());
         ASSERT_GE(rest.size(), 3u);
         EXPECT_EQ(app->Main().SelectedEntries(), rest);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.request(app->Main());
    c.check();
  }
}

TEST_F(MainWindowApiTest, ListenersHearEveryNewListing) {
  dir.CreateFile("sub/a");
  CreateApp();
  int heard = 0;
  app->Main().WhenListChanges([&] { ++heard; });
  app->Main().ShowDirectory(dir.Slash() + "sub/");
  EXPECT_GT(heard, 0);
  const int after_listing = heard;
  app->Main().SetBookmarks({"/"});
  EXPECT_EQ(heard, after_listing);
}

TEST_F(MainWindowApiTest, HexViewerOpenedAfreshForgetsTheDumpShown) {
  const std::string file = dir.CreateFile("data.bin", "0123456789");
  CreateApp();
  for (const bool afresh : {false, true}) {
    SCOPED_TRACE(afresh);
    app->ViewAsHex(file, afresh);
    ASSERT_TRUE(app->frmHexEditor->memHex->HasDump());
    // A file that cannot be read keeps the dump only when the viewer is not opened afresh.
    app->ViewAsHex(dir.Slash() + "missing", afresh);
    EXPECT_EQ(app->frmHexEditor->memHex->HasDump(), !afresh);
  }
}

}  // namespace
