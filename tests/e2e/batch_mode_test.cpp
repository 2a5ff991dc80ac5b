// The program run as a batch tool: how it is started, what it reports and how it ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

TEST(BatchMode, SwitchIsRecognisedInAnyLetterCase) {
  ProgramDir prog;
  const std::string script = prog.Write("hello.bws", BwScript({"cn_print(hello)"}));
  for (const char* batch_switch : {"-BATCH", "-batch", "-Batch"}) {
    SCOPED_TRACE(batch_switch);
    BatchResult r = prog.Run(script, {}, {}, batch_switch);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out_lines, Lines{"hello"});
    EXPECT_EQ(r.err.find("Error: "), std::string::npos) << r.err;
  }
}

TEST(BatchMode, MissingScriptFileIsAnErrorReport) {
  ProgramDir prog;
  BatchResult r = prog.Run(prog.Slash() + "absent.bws");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out_lines.empty());
  EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
}

// A relative script name means the directory the program was started in, even when the last
// session left the file list (and with it the working directory) somewhere else.
TEST(BatchMode, RelativeScriptNameIsTakenFromTheLaunchDirectory) {
  ProgramDir prog;
  const std::string listed = prog.MakeDir("listed");
  const std::string launch = prog.MakeDir("launch");
  prog.Write("config.ini", "[fsys]\nLastDir=" + listed + "\n");
  prog.Write("launch/rel.bws", BwScript({"cn_print(ran)", "cn_print($DIR)"}));

  BatchResult r = prog.Run("rel.bws", {}, launch);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"ran", listed}));
}

// A failure no command handles ends the whole run, nested scripts included, with status 1;
// the lines printed before it are already out.
TEST(BatchMode, UncaughtFailureEndsTheRunWithStatusOne) {
  ProgramDir prog;
  BatchResult r = prog.RunScript(BwScript({"cn_print(one)", "cn_set_X(abc)", "cn_print(two)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, Lines{"one"});
  EXPECT_NE(r.err.find("Error: 'abc' is not a valid integer value"), std::string::npos) << r.err;

  prog.Write("inner.bws", BwScript({"cn_print(i1)", "cn_set_y()", "cn_print(i2)"}));
  r = prog.RunScript(BwScript({"cn_print(o1)", "script(inner.bws)", "cn_print(o2)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, (Lines{"o1", "> Script file: inner.bws", "i1"}));
  EXPECT_NE(r.err.find("Error: '' is not a valid integer value"), std::string::npos) << r.err;

  // A script command naming a missing file shows only its own line before the report.
  r = prog.RunScript(BwScript({"script(missing.bws)", "cn_print(later)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, Lines{"> Script file: missing.bws"});
  EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
}

// A refused mask ends a script: the lines after it would act on the whole directory.
TEST(BatchMode, ARefusedMaskEndsTheRun) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("W");
  prog.Write("W/precious.txt", "keep");
  prog.MakeDir("W/sub");
  prog.Write("W/sub/precious.txt", "keep too");
  BatchResult r = prog.RunScript(BwScript({"bw_scan_dir(" + work + ")", "bw_mask(sub/*.txt)",
                                           "bw_sel_all()", "bw_del_sel()", "cn_print(after)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(prog.Read("W/precious.txt"), "keep");
  EXPECT_EQ(prog.Read("W/sub/precious.txt"), "keep too");
  EXPECT_EQ(std::count(r.out_lines.begin(), r.out_lines.end(), "after"), 0);
  EXPECT_NE(r.err.find("holds \"/\""), std::string::npos) << r.err;
}

// Settings that cannot be written or read stop no script: the run warns and goes on.
TEST(BatchMode, AnUnwritableOrUnreadableConfigStopsNoScript) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("W");
  prog.MakeDir("config.ini");  // no write can replace a directory
  BatchResult r = prog.RunScript(
      BwScript({"bw_scan_dir(" + work + ")", "bw_scan_dir(" + work + ")", "cn_print(done)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines.back(), "done");
  const auto warned = std::count_if(r.out_lines.begin(), r.out_lines.end(), [](const auto& line) {
    return line.starts_with("> Warning: Unable to write to ") &&
           line.find("config.ini") != line.npos;
  });
  EXPECT_EQ(warned, 1);

  prog.Remove("config.ini");
  prog.Write("config.ini", "[interface]\r\nbgcr=abc\r\n");
  r = prog.RunScript(BwScript({"cn_print(done)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines.back(), "done");
  EXPECT_NE(std::find(r.out_lines.begin(), r.out_lines.end(),
                      "> Warning: [interface] bgcr: 'abc' is not a valid integer value, 255 taken "
                      "instead"),
            r.out_lines.end());
}

// Message boxes are answered with Yes/OK and written to standard error as "caption: text".
TEST(BatchMode, MessageBoxesGoToStandardError) {
  ProgramDir prog;
  prog.Write("config.ini", "[Lang]\nFile=English.ini\n");
  BatchResult r = prog.RunScript(
      BwScript({"MsgBox_1(first)", "MsgBox_2(second)", "MsgBox_3(third)", "cn_print(done)"}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out_lines, Lines{"done"});
  const size_t first = r.err.find("Error: first\n");
  const size_t second = r.err.find("Warning: second\n");
  const size_t third = r.err.find("Message: third\n");
  ASSERT_NE(first, std::string::npos) << r.err;
  ASSERT_NE(second, std::string::npos) << r.err;
  ASSERT_NE(third, std::string::npos) << r.err;
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
}

// Closing through bw_quit runs the closing steps; a script that just ends does not.
TEST(BatchMode, QuitSavesBookmarksAndSettingsButPlainEndDoesNot) {
  ProgramDir prog;
  const std::string work = prog.MakeDir("work");
  const std::string bookmarks = "/tmp/\r\n/usr/share/\r\n";

  BatchResult r = prog.RunScript(BwScript({"bw_scan_dir(" + work + ")", "cn_print(end)"}));
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(prog.Exists("bmks.bw"));
  // The scan alone stores the directory; the closing settings are absent.
  EXPECT_NE(prog.Read("config.ini").find("LastDir=" + work), std::string::npos);
  EXPECT_EQ(prog.Read("config.ini").find("DirTree"), std::string::npos);

  prog.Remove("config.ini");
  prog.Write("bmks.bw", bookmarks);
  r = prog.RunScript(BwScript({"bw_scan_dir(" + work + ")", "bw_quit(FALSE)"}));
  EXPECT_EQ(r.status, 0);
  ASSERT_FALSE(r.out_lines.empty());
  EXPECT_EQ(r.out_lines.back(), "Bye-bye!");
  EXPECT_EQ(r.err.find("Do you really"), std::string::npos) << r.err;
  EXPECT_EQ(prog.Read("bmks.bw"), bookmarks);
  const std::string config = prog.Read("config.ini");
  EXPECT_NE(config.find("LastDir=" + work), std::string::npos) << config;
  EXPECT_NE(config.find("DirTree=0"), std::string::npos) << config;
  EXPECT_NE(config.find("bmatframe=0"), std::string::npos) << config;

  // With TRUE the closing question is asked (and answered Yes); the file is still written.
  prog.Remove("bmks.bw");
  prog.Write("config.ini", "[Lang]\nFile=English.ini\n");
  r = prog.RunScript(BwScript({"bw_quit(TRUE)"}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out_lines, Lines{"Bye-bye!"});
  EXPECT_NE(r.err.find("Warning: Do you really want to exit Brackwell?"), std::string::npos)
      << r.err;
  // Without a bookmarks file the list held the root of the program's drive.
  EXPECT_EQ(prog.Read("bmks.bw"), "/\r\n");
}
