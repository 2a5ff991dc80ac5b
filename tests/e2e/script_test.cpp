// Script files: header and end rules, nesting, and input that must not upset the runner.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

namespace {
std::string NotAScript(const std::string& name) {
  return "> Error: file \"" + name + "\" is not bwscript!";
}
}  // namespace

TEST(Scripts, HeaderAndEndRules) {
  ProgramDir prog;
  // Relative names resolve in the listed directory, which at start is the program's own.
  prog.Write("lower.bws", "begin bwscript;\ncn_print(lower ran)\nend;\n");
  prog.Write("blank.bws", "BEGIN BWSCRIPT; \r\ncn_print(never)\r\nEND;\r\n");
  prog.Write("lead.bws", " BEGIN BWSCRIPT;\r\ncn_print(never)\r\nEND;\r\n");
  prog.Write("empty.bws", "");
  constexpr char kBinary[] = "\x00\x01\xff\xfe\x89PNG\r\ncn_print(never)\r\n";
  prog.Write("binary.bws", std::string(kBinary, sizeof kBinary - 1));
  prog.Write("headeronly.bws", "BEGIN BWSCRIPT;\r\nEND;\r\n");
  prog.Write("afterend.bws",
             "Begin BwScript;\r\ncn_print(before end)\r\nEnd;\r\ncn_print(after end)\r\nEND;\r\n");
  prog.Write("endblank.bws", "BEGIN BWSCRIPT;\r\nEND; \r\ncn_print(still running)\r\nEND;\r\n");
  prog.Write("noend.bws", "BEGIN BWSCRIPT;\r\ncn_print(no end)");

  BatchResult r = prog.RunScript(BwScript({
      "cn_print(start)",
      "script(lower.bws)",
      "script(blank.bws)",
      "script(lead.bws)",
      "script(empty.bws)",
      "script(binary.bws)",
      "script(headeronly.bws)",
      "script(afterend.bws)",
      "script(endblank.bws)",
      "cn_print(done)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{"start", "> Script file: lower.bws", "lower ran", "> Script file: blank.bws",
                   NotAScript("blank.bws"), "> Script file: lead.bws", NotAScript("lead.bws"),
                   "> Script file: empty.bws", NotAScript("empty.bws"), "> Script file: binary.bws",
                   NotAScript("binary.bws"), "> Script file: headeronly.bws",
                   "> Script file: afterend.bws", "before end", "> Script file: endblank.bws",
                   "> Error: Command must ends on \"()\"",  // "END; " is an ordinary line
                   "still running", "done"}));

  // Running off the end of a file without "END;" ends that script only; a message there is
  // the runner's own business, so only the neighbours are checked.
  r = prog.RunScript(BwScript({"cn_print(before)", "script(noend.bws)", "cn_print(after)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_GE(r.out_lines.size(), 4u);
  EXPECT_EQ(Lines(r.out_lines.begin(), r.out_lines.begin() + 3),
            (Lines{"before", "> Script file: noend.bws", "no end"}));
  EXPECT_EQ(r.out_lines.back(), "after");

  // A directory cannot be read as a script: an error report that ends the run.
  prog.MakeDir("folder.bws");
  r = prog.RunScript(BwScript({"script(folder.bws)", "cn_print(after)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, Lines{"> Script file: folder.bws"});
  EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
  r = prog.Run(prog.Slash() + "folder.bws");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out_lines.empty());
}

TEST(Scripts, NestedScriptRunsBetweenItsNeighbours) {
  ProgramDir prog;
  const std::string sub = prog.MakeDir("sub");
  prog.Write("sub/inner.bws",
             BwScript({"cn_print(i1)", "script(" + sub + "deepest.bws)", "cn_print(i2)"}));
  prog.Write("sub/deepest.bws", BwScript({"cn_print(d)"}));
  BatchResult r =
      prog.RunScript(BwScript({"cn_print(o1)", "script(" + sub + "inner.bws)", "cn_print(o2)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"o1", "> Script file: " + sub + "inner.bws", "i1",
                                "> Script file: " + sub + "deepest.bws", "d", "i2", "o2"}));
}

// A script that runs itself is stopped at 32 levels with one error line; every level then
// finishes its remaining lines and the program ends normally.
TEST(Scripts, SelfRecursionIsBounded) {
  ProgramDir prog;
  const std::string rec =
      prog.Write("rec.bws", BwScript({"cn_print(in)", "script(rec.bws)", "cn_print(out)"}));
  BatchResult r = prog.Run(rec);
  EXPECT_EQ(r.status, 0) << r.err;
  auto count = [&](const std::string& line) {
    return std::count(r.out_lines.begin(), r.out_lines.end(), line);
  };
  EXPECT_EQ(count("in"), 32);
  EXPECT_EQ(count("out"), 32);
  const auto errors =
      std::count_if(r.out_lines.begin(), r.out_lines.end(),
                    [](const std::string& l) { return l.starts_with("> Error: "); });
  EXPECT_EQ(errors, 1);
  // The refusal stands between the deepest "in" and the first "out".
  const auto error_at =
      std::find_if(r.out_lines.begin(), r.out_lines.end(),
                   [](const std::string& l) { return l.starts_with("> Error: "); });
  ASSERT_NE(error_at, r.out_lines.end());
  EXPECT_EQ(std::count(r.out_lines.begin(), error_at, std::string("out")), 0);
  EXPECT_EQ(std::count(error_at, r.out_lines.end(), std::string("in")), 0);
  EXPECT_EQ(r.out_lines.back(), "out");
}

TEST(Scripts, HugeLinesAndNulBytesAreHandled) {
  ProgramDir prog;
  const std::string big(1 << 20, 'x');
  const std::string nul_text("a\0b\0c", 5);
  std::string script = "BEGIN BWSCRIPT;\r\n";
  script += "cn_print(" + big + ")\r\n";
  script += "cn_print(" + nul_text + ")\r\n";
  script += std::string("\0\0\0", 3) + "\r\n";  // no "(": the usual error
  script += "cn_print(" + big + "\r\n";         // no ")": an empty line
  script += big + "\r\n";                       // no "(" either
  script += "bw_scan_dir(/" + big + "/)\r\n";
  script += "cn_print(done)\r\nEND;\r\n";

  BatchResult r = prog.RunScript(script);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string no_paren = "> Error: Command must ends on \"()\"";
  const std::string huge_dir = "/" + big + "/";
  EXPECT_EQ(
      r.out_lines,
      (Lines{big, nul_text, no_paren, "", no_paren, "Scanning \"" + huge_dir + "\"",
             "> Directory \"" + huge_dir + "\" does not exust", "> " + prog.Slash(), "done"}));
}
