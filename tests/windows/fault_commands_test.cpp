// Console commands that once acted on the wrong file or took the screen: a mask reaching into a
// subdirectory, a current file whose name holds a variable, huge console geometry, and the
// creation steps that must not end the start.

#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>

#include "app/main_window.h"
#include "console/console_window.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"

namespace {

class FaultCommandsTest : public WindowTest {
 protected:
  void SetUp() override {
    UseTestLanguage();
    dir.CreateFile("defvars.txt", "$TMP=/tmp;\r\n");
  }
  TForm1& Main() { return *app->Form1; }
  void Scan(const std::string& path) { Run("bw_scan_dir(" + path + ")"); }
  // Clicks the entry of that name in the file list.
  void Click(const std::string& name) {
    const auto& entries = Main().Entries();
    const auto it = std::find(entries.begin(), entries.end(), name);
    ASSERT_NE(it, entries.end()) << name;
    Main().SetCurrentRow(static_cast<int>(it - entries.begin()));
    app->Guarded([&] { Main().fListClick(); });
  }
};

TEST_F(FaultCommandsTest, AMaskWithTheDelimiterNeverLetsAnotherFileBeDeleted) {
  const std::string work = dir.CreateDir("W") + "/";
  dir.CreateFile("W/precious.txt", "keep");
  dir.CreateFile("W/sub/precious.txt", "listed by the mask");
  dir.CreateFile("W/other.dat", "other");
  CreateApp();
  Scan(work);
  Run("bw_mask(*.txt)");
  Run("bw_mask(sub/*.txt)");
  EXPECT_EQ(ConsoleLines()[0],
            "> Error: Mask \"sub/*.txt\" holds \"/\": a mask selects entries of the listed "
            "directory only");
  EXPECT_EQ(app->FileMask, "*.txt");
  EXPECT_EQ(Main().Mask1->text(), "E23 *.txt");
  // The list still shows the listed directory's own files, and only they are deleted.
  EXPECT_EQ(Main().Entries(), (std::vector<std::string>{"precious.txt"}));
  Run("bw_sel_all()");
  Run("bw_del_sel()");
  EXPECT_FALSE(dir.Exists("W/precious.txt"));
  EXPECT_EQ(dir.Read("W/sub/precious.txt"), "listed by the mask");
  EXPECT_EQ(dir.Read("W/other.dat"), "other");
}

TEST_F(FaultCommandsTest, RenameTakesTheCurrentFileAsItIsNamed) {
  const std::string work = dir.CreateDir("W") + "/";
  dir.CreateFile("W/a$TMPb", "the current file");
  dir.CreateFile("W/a/tmp/b", "not this one");
  CreateApp();
  Scan(work);
  Click("a$TMPb");
  Run("bw_rename(renamed.txt)");
  EXPECT_EQ(ConsoleLines()[0], "> File renamed!");
  EXPECT_EQ(dir.Read("W/renamed.txt"), "the current file");
  EXPECT_FALSE(dir.Exists("W/a$TMPb"));
  EXPECT_EQ(dir.Read("W/a/tmp/b"), "not this one");
  // The argument's own text still takes the external variable.
  Run("cn_print($THIS $TMP)");
  EXPECT_EQ(ConsoleLines()[0], work + "a$TMPb /tmp");
}

TEST_F(FaultCommandsTest, ConsoleGeometryStaysOnTheScreensAndRefusesHugeNumbers) {
  CreateApp();
  TfrmConsole& console = *app->frmConsole;
  const QRect screens = console.screen()->virtualGeometry();
  Run("cn_set_wt(16777215)");
  Run("cn_set_ht(16777215)");
  EXPECT_EQ(console.width(), screens.width());
  EXPECT_EQ(console.height(), screens.height());
  Run("cn_set_wt(300)");
  Run("cn_set_ht(200)");
  Run("cn_set_X(-16777215)");
  Run("cn_set_y(16777215)");
  EXPECT_EQ(console.size(), QSize(300, 200));
  EXPECT_EQ(console.x(), screens.x());
  EXPECT_EQ(console.y(), screens.bottom() + 1 - 200);
  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();

  for (const char* number : {"9223372036854775807", "2147483648", "-2147483649", "12abc", ""}) {
    Run(std::string("cn_set_wt(") + number + ")");
    ASSERT_FALSE(dialogs.errors.isEmpty()) << number;
    EXPECT_EQ(dialogs.errors.last().toStdString(),
              std::string("'") + number + "' is not a valid integer value");
  }
  EXPECT_EQ(console.size(), QSize(300, 200));
}

TEST_F(FaultCommandsTest, AHugeSettingsFileNeitherEndsTheStartNorIsReplaced) {
  const std::string ini = dir.CreateFile("config.ini");
  ASSERT_EQ(truncate(ini.c_str(), off_t{1} << 40), 0);
  CreateApp();
  ASSERT_NE(app->Form1, nullptr);
  ASSERT_NE(app->frmComz, nullptr);  // every window was made
  Run("cn_print(alive)");
  EXPECT_EQ(ConsoleLines()[0], "alive");
  struct stat st;
  ASSERT_EQ(stat(ini.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{1} << 40);
}

}  // namespace
