// Command line syntax, help output and the program-starting commands, seen from outside.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

namespace {

const std::string kNoParenthesis = "> Error: Command must ends on \"()\"";

// The help texts of commands 0 to 35, in table order.
const Lines kHelpTexts = {
    "help() - View short help on this console",
    "help_on(cmd : string) - View fully information on the command. Exemple: help_on(help)",
    "bw_quit(msgbox : Boolean) - Quit programm. If parametr is TRUE program will show "
    "confrimation, FALSE just quit",
    "bw_scan_dir(dir : string) - Same as Start button on main window",
    "cn_clear() - Clear all console messages",
    "bw_sel_all() - Select all items in file list",
    "bw_bookmarks(show : boolean) - Toggle bookmarks. TRUE - show, FALSE - hide",
    "bw_dir_tree(show : boolean) - Toggle directory tree, TRUE - show, FALSE - hide",
    "bw_view_hex(filename : string) - View specified file hexadecimal mode",
    "Go(command : string) - Execute windows command line",
    "sw_options() - Show options window",
    "sw_renaming() - Show renaming window",
    "sw_htmlfl() - Show HTML File List creation window",
    "sw_search() - show File Search window",
    "cn_print(msg : string) - Print string in conole",
    "view_vars() - Show all avable varables in console",
    "MsgBox_1(msg : string) - Message box, type 1",
    "MsgBox_2(msg : string) - Message box, type 2",
    "MsgBox_3(msg : string) - Message box, type 3",
    "bw_mask(mask : string) - Change mask on \"msk\" parametr",
    "cn_show() - show console",
    "cn_close() - close console",
    "cn_save_data(filename : string) - Save all console strings to filename",
    "script(filename : string) - Load script file",
    "cn_read_txtfile(file : string) - Load text file to console",
    "cn_listing() - Listing",
    "cn_font(name : string) - Change console font",
    "setvar(expr : string) - Set external varable. Exemple: "
    "setvar($myvar=C:\\Progs\\compl\\compl.32.exe)",
    "WinExec(sCmdLine : string) - Same as WinApi function UINT WinExec(LPSTR lpCmdLine, UINT "
    "uCmdShow)",
    "bt_strt(sheme : string) - Strat numbering batch with sheme",
    "bw_del_sel() - Delet selection",
    "bw_del_this() - Delet file",
    "bw_copy(newdir : string) - Copy file)",
    "bw_rename(nename : string) - Reanme courent file",
    "cn_title(title : string) - Set console title",
    "cn_read_only(ro : boolean) - Console read only...",
};

// The help list as it reaches standard output: printed bottom entry first, so the four empty
// texts come out first and entry 0 last.
Lines HelpListInPrintOrder() {
  Lines lines(4, "");
  lines.insert(lines.end(), kHelpTexts.rbegin(), kHelpTexts.rend());
  return lines;
}

}  // namespace

TEST(Dispatcher, LineSyntax) {
  ProgramDir prog;
  BatchResult r = prog.RunScript(BwScript({
      "cn_print(first)",
      "// cn_print(a comment is never run)",
      "//cn_print(x",
      "",                               // no parenthesis at all
      "cn_show",                        // no parenthesis either
      "foo()",                          // unknown command: silence
      "FOO(bar)",                       // still unknown
      " cn_print(leading blank)",       // the name includes the blank, so it is unknown
      "cn_print (blank before paren)",  // likewise
      " // not a comment",              // not in the first column, and no "("
      "CN_PRINT(upper)",                // names ignore letter case
      "Cn_PrInT(mixed)",
      "cn_print(a)b)",  // argument ends at the first ")"
      "cn_print(open",  // no ")": empty argument
      "cn_print)x(",    // the ")" belongs to the name: unknown
      "cn_print()",
      "cn_show(unclosed",  // commands without argument ignore it
      "begin bwscript;",   // only reports when dispatched
      "cn_print(last)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"first", kNoParenthesis, kNoParenthesis, kNoParenthesis, "upper",
                                "mixed", "a", "", "", "> BW Script started...", "last"}));
}

TEST(Dispatcher, HelpList) {
  ProgramDir prog;
  BatchResult r =
      prog.RunScript(BwScript({"help()", "cn_print(--)", "help(eng)", "cn_print(--)", "help(RUS)",
                               "cn_print(--)", "help(other)", "help(english)", "cn_print(end)"}));
  EXPECT_EQ(r.status, 0) << r.err;
  Lines expected;
  for (int i = 0; i < 3; ++i) {
    Lines help = HelpListInPrintOrder();
    expected.insert(expected.end(), help.begin(), help.end());
    expected.push_back("--");
  }
  expected.push_back("end");  // other arguments print nothing
  ASSERT_EQ(kHelpTexts.size(), 36u);
  EXPECT_EQ(r.out_lines, expected);
}

TEST(Dispatcher, HelpOnOneCommand) {
  ProgramDir prog;
  BatchResult r = prog.RunScript(BwScript({
      "help_on(HELP)",
      "help_on(go)",
      "help_on(cn_set_X)",  // commands 36 to 39 have no help text
      "help_on(CN_SET_HT)",
      "help_on(nothing)",  // not a command: silence
      "help_on( help)",
      "help_on()",
      "cn_print(end)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{"", "H> help() - View short help on this console", "", "",
                                "H> Go(command : string) - Execute windows command line", "",
                                "H> Sorry, no help on this command",
                                "H> Sorry, no help on this command", "end"}));
}

TEST(Dispatcher, BuiltInVariablesInPrintedText) {
  ProgramDir prog;
  const std::string dir = prog.Slash();  // the start directory is the program's own
  BatchResult r = prog.RunScript(BwScript({
      "cn_print($DIR|$dir|$Dir/x)",
      "cn_print($EXE|$exe)",
      "cn_print($VARFN|$varfn)",
      "cn_print(a{n}b{N}c)",  // LF then CR
      "cn_print($UNKNOWN $DIRX)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines,
            (Lines{dir + "|" + dir + "|" + dir + "/x", dir + "|" + dir, "defvars.txt|defvars.txt",
                   "a", "\rb", "\rc", "$UNKNOWN " + dir + "X"}));
}

// go hands its argument to the system as one file name; nothing in it is ever read by a shell.
TEST(Dispatcher, GoAndWinExecNeverRunAShell) {
  ProgramDir prog;
  const std::string launch = prog.MakeDir("launch");
  const std::string marker = launch + "abs_marker";
  const std::string go_echo = "Windows\u2122 Command Line: ";
  const Lines shell_tricks = {
      "nonexistent_prog_xyz; touch made1", "nonexistent_prog_xyz && touch made2 || touch made2",
      "nonexistent_prog_xyz > made3",      "`touch made4`",
      "nonexistent_prog_xyz | tee made5",
  };
  std::vector<std::string> body;
  for (const auto& trick : shell_tricks) body.push_back("go(" + trick + ")");
  for (const auto& trick : shell_tricks) body.push_back("WinExec(" + trick + ")");
  body.push_back("go(nonexistent_prog_xyz; touch " + marker + ")");
  body.push_back("WinExec(nonexistent_prog_xyz; touch " + marker + ")");
  body.push_back("go($(touch made6))");
  std::string script = "BEGIN BWSCRIPT;\r\n";
  for (const auto& line : body) script += line + "\r\n";
  script += "END;\r\n";

  BatchResult r = prog.Run(prog.Write("shell.bws", script), {}, launch);
  EXPECT_EQ(r.status, 0) << r.err;
  Lines expected;
  for (const auto& trick : shell_tricks) {
    expected.push_back(go_echo + trick);
    expected.push_back("> Error: File not found!");
  }
  for (size_t i = 0; i < shell_tricks.size(); ++i) expected.push_back("> Error: File not found!");
  ASSERT_GE(r.out_lines.size(), expected.size() + 2);
  EXPECT_EQ(Lines(r.out_lines.begin(), r.out_lines.begin() + expected.size()), expected);
  EXPECT_EQ(r.out_lines[expected.size()], go_echo + "nonexistent_prog_xyz; touch " + marker);
  EXPECT_EQ(r.out_lines.back(), "> Error: File not found!");  // the argument was cut at ")"

  // Neither the listed directory (the program's working directory) nor the launch directory
  // received anything.
  for (const char* name : {"made1", "made2", "made3", "made4", "made5", "made6", "$(touch made6"}) {
    EXPECT_FALSE(prog.Exists(name)) << name;
    EXPECT_FALSE(prog.Exists(std::string("launch/") + name)) << name;
  }
  EXPECT_FALSE(prog.Exists("launch/abs_marker"));
}

TEST(Dispatcher, GoAndWinExecResultMessages) {
  ProgramDir prog;
  const std::string go_echo = "Windows\u2122 Command Line: ";
  BatchResult r = prog.RunScript(BwScript({
      "go(/nonexistent_dir_xyz/prog)",
      "WinExec(/nonexistent_dir_xyz/prog)",
      "go(C:\\Program Files (x86)\\a.exe)",  // cut at the first ")"
      "go(true)",
      "WinExec(true)",  // success prints nothing
      "cn_print(end)",
  }));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out_lines, (Lines{go_echo + "/nonexistent_dir_xyz/prog", "> Error: Path not found!",
                                "> Error: Path not found", go_echo + "C:\\Program Files (x86",
                                "> Error: File not found!", go_echo + "true", "> OK", "end"}));
}
