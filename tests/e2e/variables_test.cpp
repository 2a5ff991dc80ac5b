// $-variables as a script sees them: the questions they ask and the external variables file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

namespace {
const std::string kNoFileName = "> Hint: File name is NULL";
const std::string kNoVarFile = "> Warning: Varable file \"defvars.txt\"does not exist!";
}  // namespace

// One input line per argument, however often $INPUT occurs in it; end of input is an empty answer.
TEST(Variables, InputIsAskedOncePerArgument) {
  ProgramDir prog;
  BatchResult r = prog.RunScript(
      BwScript({"cn_print(x $INPUT y $input z)", "cn_print([$Input])", "cn_print([$INPUT])"}),
      "typed\nsecond\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"x typed y typed z", "[second]", "[]"}));
}

TEST(Variables, FileDialogsReplaceOnlyTheFirstCapitalisedName) {
  ProgramDir prog;
  BatchResult r = prog.RunScript(BwScript({
                                     "cn_print($OPENDL + $OPENDL + $opendl)",
                                     "cn_print($SAVEDL|$savedl|$SaveDL)",
                                     "cn_print(<$INPUT>)",  // no dialog above took this line
                                     "cn_print($SAVEDL $OPENDL $INPUT)",
                                     "cn_print(o=$OPENDL)",  // input exhausted
                                     "cn_print(s=$SAVEDL)",
                                 }),
                                 "/picked/one\n/saved/two\nthird\n1\n2\n3\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{"/picked/one + $OPENDL + $opendl", "/saved/two|$savedl|$SaveDL", "<third>",
                   "3 2 1",  // asked in the order input box, open, save
                   kNoFileName, "o=", kNoFileName, "s="}));
}

// External names match ignoring case and take their value as written; only the first
// occurrence is replaced and the rest of the text keeps its letters.
TEST(Variables, ExternalVariablesFile) {
  ProgramDir prog;
  prog.Write("defvars.txt",
             "$a=hello;a comment\r\n"
             "$Mixed=/Usr/Local/Bin;\r\n"
             "$novalue=\r\n"
             "no definition here\r\n"
             "=orphan;\r\n"
             "name = value;\r\n"
             "$x=$later;\r\n"
             "$later=deep;\r\n");
  BatchResult r = prog.RunScript(BwScript({
      "cn_print(x $a y $A)",
      "cn_print(Keep $MIXED Case)",
      "cn_print([$novalue])",
      "cn_print(no definition here =orphan)",
      "cn_print([name])",  // the name ends with a blank
      "cn_print(name here)",
      "cn_print($x)",  // a value may bring in a name of a later line
      "cn_print($VARFN)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{"x hello y $A", "Keep /Usr/Local/Bin Case", "[]", "no definition here =orphan",
                   "[name]", " valuehere", "deep", "defvars.txt"}));

  // Lines apply top to bottom, each to the text the earlier ones left.
  prog.Write("defvars.txt", "$ab=1;\r\n$a=2;\r\n");
  r = prog.RunScript(BwScript({"cn_print($ab $a)"}));
  EXPECT_EQ(r.out_lines, Lines{"1 2"});
  prog.Write("defvars.txt", "$a=2;\r\n$ab=1;\r\n");
  r = prog.RunScript(BwScript({"cn_print($ab $a)"}));
  EXPECT_EQ(r.out_lines, Lines{"2b $a"});
}

// Without the file each text argument warns once; bw_rename reads three texts.
TEST(Variables, MissingVariablesFileWarnsPerTextArgument) {
  ProgramDir prog;
  prog.Remove("defvars.txt");
  BatchResult r = prog.RunScript(
      BwScript({"cn_print(plain $DIR)", "cn_show()", "help_on(nothing)", "bw_rename(x)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{kNoVarFile, "plain " + prog.Slash(), kNoVarFile, kNoVarFile, kNoVarFile,
                   kNoVarFile, "> File can not be renamed for some reson"}));
}

// view_vars shows the program's own file, the one substitution uses, wherever the directory
// tree has moved the working directory.
TEST(Variables, ViewVarsReadsTheProgramsFile) {
  ProgramDir prog;
  const std::string listed = prog.MakeDir("listed");
  const std::string launch = prog.MakeDir("launch");
  prog.Write("listed/defvars.txt", "$q=fromlisted;\r\nsecond line\r\n");
  prog.Write("launch/defvars.txt", "$q=fromlaunch;\r\n");
  prog.Write("defvars.txt", "$q=fromexe;\r\nline two\r\n");
  prog.Write("config.ini", "[fsys]\nLastDir=" + listed + "\n");

  const std::string script = prog.Write(
      "vars.bws",
      BwScript({"view_vars()", "cn_print($q)", "bw_scan_dir(" + launch + ")", "view_vars()"}));
  BatchResult r = prog.Run(script, {}, launch);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"$q=fromexe;", "line two", "External constants: ", "fromexe",
                                "Scanning \"" + launch + "\"", "> OK", "> " + launch, "$q=fromexe;",
                                "line two", "External constants: "}));

  // Without the program's file: an error report, not even the heading, and the run ends.
  prog.Remove("defvars.txt");
  r = prog.RunScript(BwScript({"view_vars()", "cn_print(after)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out_lines.empty());
  EXPECT_NE(r.err.find("Error: Cannot open file \"" + prog.Slash() + "defvars.txt\""),
            std::string::npos)
      << r.err;
}
