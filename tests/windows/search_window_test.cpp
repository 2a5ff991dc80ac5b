// The search window: a search with its results and status, stopping it, refused masks, and the
// search results as the main window's pseudo-directory with file operations on them.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "config/options_window.h"
#include "support/window_fixture.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"

namespace {

class SearchWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    data = dir.CreateDir("data");
    dir.CreateFile("data/a.txt");
    dir.CreateFile("data/README");
    dir.CreateFile("data/one/B.Txt");
    dir.CreateFile("data/one/two/c.txt");
    dir.CreateFile("data/one/two/three/d.TXT");
    CreateApp();
  }
  TfrmSearch& Search() { return *app->frmSearch; }
  TForm1& Main() { return *app->Form1; }
  // Opens the search window from the main window on `start` and searches for `mask`.
  void SearchFor(const std::string& start, const QString& mask) {
    Main().SEARCH1Click();
    Search().txtPathSea->setText(BytesToText(start));
    Search().txtSearch->setText(mask);
    Search().btnStart->click();
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> rows;
    for (int i = 0; i < Search().rearchresultsModel->rowCount(); ++i) {
      rows.push_back(Search().rearchresultsModel->Path(i));
    }
    return rows;
  }
  QString Info() { return Search().infoPanel->text(); }

  std::string data;
};

TEST_F(SearchWindowTest, FindsLevelByLevelAndShowsTheCount) {
  Main().SearchLine->setText(BytesToText(data + "/"));
  Main().ScanDirectory1Click();
  Main().SEARCH1Click();
  EXPECT_TRUE(Search().isVisible());
  EXPECT_EQ(Search().windowTitle(), "E83");
  EXPECT_EQ(TextToBytes(Search().txtPathSea->text()), data + "/");
  EXPECT_EQ(Info(), "Ready");

  SearchFor(data, "*.TXT");
  const std::vector<std::string> expected = {
      data + "/a.txt", data + "/one/B.Txt", data + "/one/two/c.txt", data + "/one/two/three/d.TXT"};
  ASSERT_TRUE(app->SearchResults.has_value());
  EXPECT_EQ(*app->SearchResults, expected);
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(Info(), "Found 4 files");
  EXPECT_FALSE(Search().searching());
  EXPECT_TRUE(Search().btnStart->isEnabled());
  EXPECT_FALSE(Search().btnStop->isEnabled());

  // "*.*" finds names without a dot too.
  SearchFor(data + "/", "*.*");
  EXPECT_EQ(app->SearchResults->size(), 5u);
  EXPECT_EQ(app->SearchResults->front().rfind(data + "/", 0), 0u);
  EXPECT_EQ(app->SearchResults->front().find("//"), std::string::npos);

  // Showing the window again empties the list; the results stay.
  Search().close();
  Main().SEARCH1Click();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(app->SearchResults->size(), 5u);
}

TEST_F(SearchWindowTest, NoMatchWarnsAndQuittingShowsAnEmptyList) {
  SearchFor(data, "*.none");
  EXPECT_EQ(Info(), "Found 0 files");
  EXPECT_EQ(dialogs.asked.last(), "message: E2: E8");
  Search().btnQuit->click();
  EXPECT_FALSE(Search().isVisible());
  EXPECT_EQ(Main().SearchLine->text(), "BW:SearchRes");
  EXPECT_TRUE(Main().Entries().empty());
  EXPECT_EQ(app->CurrentDir, "");
}

TEST_F(SearchWindowTest, QuitBeforeAnySearchJustCloses) {
  Main().SEARCH1Click();
  const QString line = Main().SearchLine->text();
  Search().btnQuit->click();
  EXPECT_FALSE(Search().isVisible());
  EXPECT_EQ(Main().SearchLine->text(), line);
  // Double-clicking with nothing selected does nothing either.
  const auto lines = ConsoleLines();
  Search().rearchresultsDblClick();
  EXPECT_EQ(ConsoleLines(), lines);
}

TEST_F(SearchWindowTest, RefusedMaskSearchesNothingAndSaysWhy) {
  SearchFor(data, "[a-");
  EXPECT_TRUE(Info().startsWith("Cannot search: ")) << Info().toStdString();
  EXPECT_EQ(ConsoleLines()[0].rfind("> Error: Cannot search: ", 0), 0u);
  EXPECT_FALSE(app->SearchResults.has_value());
  SearchFor("", "*.*");
  EXPECT_FALSE(app->SearchResults.has_value());
}

TEST_F(SearchWindowTest, EscStopsTheSearchAndKeepsWhatItFound) {
  for (int i = 0; i < 40; ++i) dir.CreateFile("data/many/f" + std::to_string(i) + ".txt");
  Search().pump_interval_ms = 0;
  // As soon as results show, the user presses Esc.
  QObject::connect(
      Search().rearchresultsModel, &QAbstractItemModel::rowsInserted, &Search(), [this] {
        if (Search().searching()) {
          QApplication::postEvent(&Search(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
        }
      });
  SearchFor(data, "*.txt");
  ASSERT_TRUE(app->SearchResults.has_value());
  const std::size_t found = app->SearchResults->size();
  EXPECT_GT(found, 0u);
  EXPECT_LT(found, 44u);
  EXPECT_EQ(Shown(), *app->SearchResults);
  EXPECT_EQ(Info(), "Found " + QString::number(found) + " files (stopped)");
  EXPECT_FALSE(Search().searching());
  // No warning box for a search the user stopped.
  EXPECT_FALSE(dialogs.asked.contains("message: E2: E8"));

  // The stop button does the same.
  QObject::disconnect(Search().rearchresultsModel, nullptr, &Search(), nullptr);
  QObject::connect(Search().rearchresultsModel, &QAbstractItemModel::rowsInserted, Search().btnStop,
                   &QPushButton::click);
  SearchFor(data, "*.txt");
  EXPECT_TRUE(Info().endsWith("(stopped)")) << Info().toStdString();

  // Ending the program from the main window ends the search too.
  QObject::disconnect(Search().rearchresultsModel, nullptr, Search().btnStop, nullptr);
  QObject::connect(Search().rearchresultsModel, &QAbstractItemModel::rowsInserted, &Main(),
                   [this] { Main().Exit1Click(); });
  SearchFor(data, "*.txt");
  EXPECT_TRUE(Info().endsWith("(stopped)")) << Info().toStdString();
}

TEST_F(SearchWindowTest, FileOperationsWorkOnThePseudoDirectory) {
  app->Optionz->ondel->setChecked(false);
  SearchFor(data, "*.txt");
  Search().btnQuit->click();
  ASSERT_EQ(Main().Entries(), *app->SearchResults);

  // Deleting the entry under the cursor deletes the found file and the list drops it.
  Main().SetCurrentRow(0);
  Main().Delete1Click();
  EXPECT_FALSE(dir.Exists("data/a.txt"));
  EXPECT_EQ(Main().Entries().size(), 3u);
  EXPECT_EQ(Main().Entries().front(), data + "/one/B.Txt");

  // Renaming keeps the file in its own directory.
  dialogs.input_answers = {QString("renamed.txt")};
  Main().SetCurrentRow(0);
  Main().Rename1Click();
  EXPECT_TRUE(dir.Exists("data/one/renamed.txt"));
  EXPECT_FALSE(dir.Exists("data/one/B.Txt"));

  // Deleting the selection deletes found files.
  Main().SetCurrentRow(-1);
  Main().SELECTALL1Click();
  Main().DeleteAll1Click();
  EXPECT_FALSE(dir.Exists("data/one/two/c.txt"));
  EXPECT_FALSE(dir.Exists("data/one/two/three/d.TXT"));
  EXPECT_TRUE(dir.Exists("data/README"));
  EXPECT_TRUE(Main().Entries().empty());
}

TEST_F(SearchWindowTest, DoubleClickOnAFoundFileListsItsDirectory) {
  SearchFor(data, "c.txt");
  Search().btnQuit->click();
  Main().SetCurrentRow(0);
  Main().fListDblClick();
  EXPECT_EQ(TextToBytes(Main().SearchLine->text()), data + "/one/two/");
  EXPECT_EQ(app->CurrentDir, data + "/one/two/");
  const auto& entries = Main().Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "c.txt"), entries.end());
  EXPECT_FALSE(dialogs.asked.contains("message: E1: E9"));
}

}  // namespace
