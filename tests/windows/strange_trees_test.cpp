// Trees a file manager meets in the wild: link loops, directories it may not read, names made of
// any byte the file system allows, and files larger than 4 GiB. Each is listed, walked and
// worked on without a crash or a hang, and with the right result.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "config/options_window.h"
#include "support/as_unprivileged.h"
#include "support/window_fixture.h"
#include "tools/hex_dump_view.h"
#include "tools/hex_viewer.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/column_list_view.h"
#include "ui/file_list_model.h"

namespace {

class StrangeTreesTest : public WindowTest {
 protected:
  TForm1& Main() { return *app->Form1; }
  TfrmHexEditor& Hex() { return *app->frmHexEditor; }
  const std::vector<std::string>& Listed() { return Main().Entries(); }
  bool IsListed(const std::string& entry) {
    return std::find(Listed().begin(), Listed().end(), entry) != Listed().end();
  }
  void Point(const std::string& entry) {
    const auto at = std::find(Listed().begin(), Listed().end(), entry);
    ASSERT_NE(at, Listed().end()) << entry;
    Main().SetCurrentRow(static_cast<int>(at - Listed().begin()));
  }
  std::vector<std::string> SearchFor(const std::string& start, const QString& mask) {
    Main().SEARCH1Click();
    app->frmSearch->txtPathSea->setText(BytesToText(start));
    app->frmSearch->txtSearch->setText(mask);
    app->frmSearch->btnStart->click();
    std::vector<std::string> found = app->SearchResults.value_or(std::vector<std::string>{});
    std::sort(found.begin(), found.end());
    return found;
  }
  void Link(const std::string& target, const std::string& relative) {
    ASSERT_EQ(symlink(target.c_str(), (dir.Slash() + relative).c_str()), 0) << relative;
  }
};

TEST_F(StrangeTreesTest, LinkLoopsAreListedEnteredAndSearchedWithoutEnd) {
  dir.CreateFile("loop/a.txt", "a");
  dir.CreateFile("loop/deep/b.txt", "b");
  Link(".", "loop/self");
  Link("..", "loop/up");
  Link("../../loop", "loop/deep/back");
  CreateApp();

  Scan(dir.Slash() + "loop/");
  EXPECT_TRUE(IsListed("a.txt"));
  EXPECT_TRUE(IsListed("deep/"));
  // Going round the loop lists the same directory again, one level deeper in the path.
  Point("self/");
  Main().fListDblClick();
  EXPECT_EQ(app->CurrentDir, dir.Slash() + "loop/self/");
  EXPECT_TRUE(IsListed("a.txt"));

  // The search does not follow links, so each file is found once.
  EXPECT_EQ(
      SearchFor(dir.Slash() + "loop/", "*.txt"),
      (std::vector<std::string>{dir.Slash() + "loop/a.txt", dir.Slash() + "loop/deep/b.txt"}));
}

TEST_F(StrangeTreesTest, UnreadableDirectoryListsNothingAndTheSearchGoesOn) {
  dir.CreateFile("tree/open.txt");
  dir.CreateFile("tree/locked/secret.txt");
  dir.CreateFile("tree/locked/inner/deeper.txt");
  dir.CreateFile("tree/later/found.txt");
  chmod(dir.Path().c_str(), 0777);  // the program directory stays writable for the settings
  chmod((dir.Slash() + "tree/locked").c_str(), 0);
  {
    AsUnprivileged user;
    CreateApp();
    Scan(dir.Slash() + "tree/locked/");
    EXPECT_FALSE(IsListed("secret.txt"));
    EXPECT_FALSE(IsListed("inner/"));
    EXPECT_EQ(ConsoleLines().front(), "> " + dir.Slash() + "tree/locked/");

    Scan(dir.Slash() + "tree/");
    EXPECT_TRUE(IsListed("locked/"));
    EXPECT_EQ(SearchFor(dir.Slash() + "tree/", "*.txt"),
              (std::vector<std::string>{dir.Slash() + "tree/later/found.txt",
                                        dir.Slash() + "tree/open.txt"}));
  }
  chmod((dir.Slash() + "tree/locked").c_str(), 0755);
}

// Every byte a name may hold: anything but NUL and the delimiter.
std::string EveryNameByte() {
  std::string bytes;
  for (int b = 1; b < 256; ++b) {
    if (b != '/') bytes += static_cast<char>(b);
  }
  return bytes;
}

TEST_F(StrangeTreesTest, NamesOfAnyByteAreListedSelectedViewedRenamedAndDeleted) {
  const std::string every = EveryNameByte();
  std::vector<std::string> names;
  for (char b : every) names.push_back(std::string("n") + b + "\xff.x");
  names.push_back(every);  // 254 bytes, one short of the longest name allowed
  for (const std::string& name : names) dir.CreateFile("odd/" + name, name);
  CreateApp();
  app->Optionz->ondel->setChecked(false);

  const std::string odd = dir.Slash() + "odd/";
  Scan(odd);
  for (const std::string& name : names) EXPECT_TRUE(IsListed(name)) << name.size();
  EXPECT_EQ(Listed().size(), names.size() + 1);  // and "../"

  Main().SELECTALL1Click();
  EXPECT_EQ(Main().SelectedRows().size(), Listed().size());
  Main().Deselect1Click();

  Point(every);
  Main().ViewAsHex1Click();
  EXPECT_EQ(Hex().memHex->FileSize(), static_cast<std::int64_t>(every.size()));
  EXPECT_TRUE(Hex().memHex->toPlainText().contains("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));

  // Renamed to a name with a line break and bytes that are no UTF-8.
  const std::string renamed = "new\n\x80\xfe name";
  Point(every);
  dialogs.input_answers.push_back(BytesToText(renamed));
  Main().Rename1Click();
  EXPECT_EQ(dir.Read("odd/" + renamed), every);
  EXPECT_FALSE(dir.Exists("odd/" + every));
  EXPECT_TRUE(IsListed(renamed));

  for (const std::string& name : {names[0], names['\n' - 1], names[0x7f], names[0xfd]}) {
    Point(name);
    Main().Delete1Click();
    EXPECT_FALSE(dir.Exists("odd/" + name)) << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(odd),
                          std::filesystem::directory_iterator()),
            static_cast<long>(names.size()) - 4);
}

TEST_F(StrangeTreesTest, FileOverFourGibibytesShowsItsSizeAndItsEnd) {
  UseTestLanguage();
  const std::int64_t size = std::int64_t{5} << 30;
  const std::string path = dir.CreateFile("big/huge.bin");
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(pwrite(fd, "END!", 4, size - 4), 4);
  close(fd);
  CreateApp();

  Scan(dir.Slash() + "big/");
  Point("huge.bin");
  Main().fListClick();
  EXPECT_TRUE(Main().StatusPanel(2)->text().startsWith("E49 : 5242880 E78; E50 : "))
      << Main().StatusPanel(2)->text().toStdString();

  Main().ViewAsHex1Click();
  EXPECT_EQ(Hex().InfoPanel[0]->text(), "Size : 5242880 KBaytes");
  dialogs.input_answers.push_back(QString("0x13FFFFFFC"));
  Hex().GOTO1Click();
  EXPECT_EQ(Hex().memHex->SelectedText().value_or("<none>"), "45");  // "E" of "END!"
  EXPECT_GT(Hex().memHex->TopLine(), (size >> 4) - 1000);
}

}  // namespace
