#include "console/script_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace console {
namespace {

// Records what a run executes and prints; a "script(name)" line runs that script inside.
class ScriptRun : public ::testing::Test {
 protected:
  ScriptHooks Hooks() {
    ScriptHooks hooks;
    hooks.execute = [this](const std::string& line) {
      executed.push_back(line);
      if (line == "boom()") throw std::runtime_error("boom");
      if (line.starts_with("script(") && line.ends_with(")")) {
        RunScriptFile(dir.Path() + "/" + line.substr(7, line.size() - 8), Hooks(), runs);
      }
    };
    hooks.print = [this](const std::string& line) { printed.push_back(line); };
    return hooks;
  }

  void Run(const std::string& path) { RunScriptFile(path, Hooks(), runs); }

  std::string NotBwscript(const std::string& path) {
    return "> Error: file \"" + path + "\" is not bwscript!";
  }

  TempDir dir;
  ScriptRuns runs;
  std::vector<std::string> executed;
  std::vector<std::string> printed;
};

using Lines = std::vector<std::string>;

TEST_F(ScriptRun, FirstLineMustBeTheHeaderAlone) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"begin bwscript;\ncn_print(a)\n", true},
      {"Begin BwScript;\r\ncn_print(a)\r\n", true},
      {"BEGIN BWSCRIPT; \ncn_print(a)\n", false},
      {" BEGIN BWSCRIPT;\ncn_print(a)\n", false},
      {"BEGIN BWSCRIPT;x\ncn_print(a)\n", false},
      {"BEGIN BWSCRIPT\ncn_print(a)\n", false},
      {"\nBEGIN BWSCRIPT;\ncn_print(a)\n", false},
      {"", false},
      {std::string("\x7f"
                   "ELF\x02\x01\0\0\0\0\xff\xfe\ncn_print(a)\n",
                   19),
       false},
  };
  for (const auto& [content, runs] : cases) {
    SCOPED_TRACE(content);
    executed.clear();
    printed.clear();
    const std::string path = dir.CreateFile("s.bws", content);
    Run(path);
    EXPECT_EQ(executed, runs ? Lines{"cn_print(a)"} : Lines{});
    EXPECT_EQ(printed, runs ? Lines{} : Lines{NotBwscript(path)});
    EXPECT_EQ(this->runs.depth, 0);
  }
}

TEST_F(ScriptRun, PassesEveryBodyLineUntilEnd) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"BEGIN BWSCRIPT;\r\nEND;\r\ncn_print(after)\r\n", {}},
      {"BEGIN BWSCRIPT;", {}},
      {"BEGIN BWSCRIPT;\n// note\n\ncn_print(x)\nend;\ncn_print(y)\nEND;\n",
       {"// note", "", "cn_print(x)"}},
      {"BEGIN BWSCRIPT;\nEnd; \n END;\nfoo(\nEnd;", {"End; ", " END;", "foo("}},
      // Without an end line the run stops at the end of the file.
      {"BEGIN BWSCRIPT;\na()\nb()", {"a()", "b()"}},
      {"BEGIN BWSCRIPT;\na()\n\n", {"a()", ""}},
      // CR LF, LF and a lone CR all end a line; only the line break is taken off.
      {"BEGIN BWSCRIPT;\r\n  a( $dir ) \r\n\r\nb()\rc()\nEND;\r\n",
       {"  a( $dir ) ", "", "b()", "c()"}},
      {std::string("BEGIN BWSCRIPT;\nn(\0)\nEND;\n", 27), {std::string("n(\0)", 4)}},
  };
  for (const auto& [content, expected] : cases) {
    SCOPED_TRACE(content);
    executed.clear();
    Run(dir.CreateFile("s.bws", content));
    EXPECT_EQ(executed, expected);
    EXPECT_TRUE(printed.empty());
  }
}

TEST_F(ScriptRun, InnerScriptRunsBetweenTheOuterLines) {
  dir.CreateFile("inner.bws", "BEGIN BWSCRIPT;\ni1()\ni2()\nEND;\ni3()\n");
  Run(dir.CreateFile("outer.bws", "BEGIN BWSCRIPT;\no1()\nscript(inner.bws)\no2()\nEND;\n"));
  EXPECT_EQ(executed, (Lines{"o1()", "script(inner.bws)", "i1()", "i2()", "o2()"}));
  EXPECT_TRUE(printed.empty());
  EXPECT_EQ(runs.depth, 0);
}

TEST_F(ScriptRun, SelfRunningScriptStopsAtTheNestingBound) {
  const std::string path =
      dir.CreateFile("self.bws", "BEGIN BWSCRIPT;\nx()\nscript(self.bws)\ny()\nEND;\n");
  Run(path);
  Lines expected;
  for (int i = 0; i < kMaxScriptDepth; ++i)
    expected.insert(expected.end(), {"x()", "script(self.bws)"});
  for (int i = 0; i < kMaxScriptDepth; ++i) expected.push_back("y()");
  EXPECT_EQ(executed, expected);
  EXPECT_EQ(printed,
            Lines{"> Error: Script nesting deeper than 32 levels, \"" + path + "\" not run"});
  EXPECT_EQ(runs.depth, 0);

  // At the bound the file is not even opened, so a missing one does not throw.
  printed.clear();
  runs.depth = kMaxScriptDepth;
  EXPECT_NO_THROW(Run(dir.Path() + "/missing.bws"));
  EXPECT_EQ(printed.size(), 1u);
  EXPECT_EQ(runs.depth, kMaxScriptDepth);
}

TEST_F(ScriptRun, ScriptRunningItselfTwicePerLevelStopsAtTheRunBound) {
  const std::string path = dir.CreateFile(
      "twice.bws", "BEGIN BWSCRIPT;\nx()\nscript(twice.bws)\nscript(twice.bws)\nEND;\n");
  const std::string refused =
      "> Error: Script runs more than 10000 scripts, \"" + path + "\" not run";
  for (int top_level = 0; top_level < 2; ++top_level) {  // each top-level run counts afresh
    executed.clear();
    printed.clear();
    Run(path);
    EXPECT_EQ(std::count(executed.begin(), executed.end(), "x()"), kMaxScriptRuns);
    EXPECT_GT(std::count(printed.begin(), printed.end(), refused), 0);
    const std::string too_deep =
        "> Error: Script nesting deeper than 32 levels, \"" + path + "\" not run";
    for (const std::string& line : printed)
      EXPECT_TRUE(line == refused || line == too_deep) << line;
    EXPECT_EQ(runs.depth, 0);
  }
}

TEST_F(ScriptRun, UnreadableFilesThrow) {
  for (const std::string& path : {dir.Path() + "/missing.bws", dir.CreateDir("folder.bws")}) {
    SCOPED_TRACE(path);
    try {
      Run(path);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(runs.depth, 0);
  }
  EXPECT_TRUE(executed.empty());
  EXPECT_TRUE(printed.empty());

  // A missing inner script ends the outer run as well.
  const std::string outer =
      dir.CreateFile("outer.bws", "BEGIN BWSCRIPT;\nscript(none.bws)\nlater()\n");
  EXPECT_THROW(Run(outer), std::runtime_error);
  EXPECT_EQ(executed, Lines{"script(none.bws)"});
  EXPECT_EQ(runs.depth, 0);
}

TEST_F(ScriptRun, FailingLineEndsTheWholeRun) {
  dir.CreateFile("inner.bws", "BEGIN BWSCRIPT;\ni1()\nboom()\ni2()\nEND;\n");
  const std::string outer =
      dir.CreateFile("outer.bws", "BEGIN BWSCRIPT;\no1()\nscript(inner.bws)\no2()\nEND;\n");
  EXPECT_THROW(Run(outer), std::runtime_error);
  EXPECT_EQ(executed, (Lines{"o1()", "script(inner.bws)", "i1()", "boom()"}));
  EXPECT_EQ(runs.depth, 0);

  // The depth count is right again, so the next run goes through.
  executed.clear();
  Run(dir.CreateFile("ok.bws", "BEGIN BWSCRIPT;\nok()\n"));
  EXPECT_EQ(executed, Lines{"ok()"});
}

}  // namespace
}  // namespace console
