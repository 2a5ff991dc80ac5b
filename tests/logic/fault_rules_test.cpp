// Rules that keep commands from acting on the wrong file or taking the screen: masks that reach
// into another directory, window geometry from the command line, the last language entry and
// script files that are no files.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/listing_rules.h"
#include "config/language_rules.h"
#include "console/geometry_rules.h"
#include "console/script_rules.h"
#include "support/temp_dir.h"

namespace {

TEST(MaskRule, AMaskHoldingTheDelimiterIsRefusedAndListsNothing) {
  for (const char* mask : {"sub/*.txt", "/", "../*.*", "*/", "a/b"}) {
    EXPECT_TRUE(app::MaskHoldsDelimiter(mask)) << mask;
  }
  for (const char* mask : {"*.*", "", "*.txt", "a\\b", "..", "?x*"}) {
    EXPECT_FALSE(app::MaskHoldsDelimiter(mask)) << mask;
  }
  EXPECT_EQ(app::MaskDelimiterError("sub/*.txt"),
            "> Error: Mask \"sub/*.txt\" holds \"/\": a mask selects entries of the listed "
            "directory only");

  TempDir dir;
  dir.CreateFile("precious.txt", "p");
  dir.CreateFile("sub/precious.txt", "s");
  std::vector<std::string> entries;
  EXPECT_EQ(app::FillFileList(dir.Slash(), "sub/*.txt", entries), 0u);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(app::FillFileList(dir.Slash(), "*.txt", entries), 1u);
  EXPECT_EQ(entries, std::vector<std::string>{"precious.txt"});
}

TEST(GeometryRule, WindowsStayWithinTheScreens) {
  using console::Box;
  const Box area{0, 0, 1920, 1080};
  struct Case {
    Box wanted;
    Box expected;
  } cases[] = {
      {{197, 110, 546, 499}, {197, 110, 546, 499}},
      {{197, 110, 16777215, 499}, {0, 110, 1920, 499}},
      {{197, 110, 546, 16777215}, {197, 0, 546, 1080}},
      {{2147483647, 110, 546, 499}, {1374, 110, 546, 499}},
      {{-2147483648LL, -5, 546, 499}, {0, 0, 546, 499}},
      {{10, 10, 0, -40}, {10, 10, 100, 50}},
      {{9223372036854775807LL, 0, 546, 499}, {1374, 0, 546, 499}},
  };
  for (const Case& c : cases) {
    const Box got = console::KeepOnScreens(c.wanted, area, 100, 50);
    EXPECT_EQ(got.x, c.expected.x) << c.wanted.x;
    EXPECT_EQ(got.y, c.expected.y) << c.wanted.y;
    EXPECT_EQ(got.width, c.expected.width) << c.wanted.width;
    EXPECT_EQ(got.height, c.expected.height) << c.wanted.height;
  }
  // Two screens side by side, the left one at negative positions; an area smaller than the
  // least size keeps the least size at its corner.
  const Box wide = console::KeepOnScreens({-3000, 0, 500, 400}, {-1920, 0, 3840, 1080}, 1, 1);
  EXPECT_EQ(wide.x, -1920);
  const Box tiny = console::KeepOnScreens({50, 50, 10, 10}, {0, 0, 80, 40}, 100, 50);
  EXPECT_EQ(tiny.x, 0);
  EXPECT_EQ(tiny.y, 0);
  EXPECT_EQ(tiny.width, 100);
  EXPECT_EQ(tiny.height, 50);
}

TEST(LanguageTable, TheLastEntryIsLoadedToo) {
  TempDir dir;
  config::LanguageTable table;
  table.Load(dir.CreateFile("lang.ini", "[LanFile]\r\n1=First\r\n100=Hundred\r\n101=Last one\r\n"));
  EXPECT_EQ(table.Entry(1), "First");
  EXPECT_EQ(table.Entry(100), "Hundred");
  EXPECT_EQ(table.Entry(101), "Last one");
  EXPECT_EQ(table.Entry(102), "string_102");
}

TEST(ScriptFileRefusal, PipesAndHugeFilesAreRefusedWithoutWaiting) {
  TempDir dir;
  const std::string fifo = dir.Slash() + "script.bws";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string huge = dir.CreateFile("huge.bws");
  ASSERT_EQ(truncate(huge.c_str(), off_t{1} << 40), 0);
  std::vector<std::string> ran;
  console::ScriptHooks hooks;
  hooks.execute = [&](const std::string& line) { ran.push_back(line); };
  console::ScriptRuns runs;
  for (const std::string& file : {fifo, huge}) {
    try {
      console::RunScriptFile(file, hooks, runs);
      ADD_FAILURE() << "no error for " << file;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + file + "\""), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(runs.depth, 0);
}

}  // namespace
