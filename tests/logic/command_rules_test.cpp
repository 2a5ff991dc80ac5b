#include "console/command_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace console {
namespace {

using Kind = ParsedLine::Kind;

TEST(CommandTable, NamesAndArgumentKindsAreInTableOrder) {
  const std::vector<std::string> names = {
      "help",         "help_on",      "bw_quit",      "bw_scan_dir", "cn_clear",
      "bw_sel_all",   "bw_bookmarks", "bw_dir_tree",  "bw_view_hex", "go",
      "sw_options",   "sw_renaming",  "sw_htmlfl",    "sw_search",   "cn_print",
      "view_vars",    "MsgBox_1",     "MsgBox_2",     "MsgBox_3",    "bw_mask",
      "cn_show",      "cn_close",     "cn_save_data", "script",      "cn_read_txtfile",
      "cn_listing",   "cn_font",      "SetVar",       "WinExec",     "bt_start",
      "bw_del_sel",   "bw_del_this",  "bw_copy",      "bw_rename",   "cn_title",
      "cn_read_only", "cn_set_X",     "cn_set_y",     "cn_set_wt",   "cn_set_ht"};
  // One letter per command: None, Text, Flag, Integer.
  const std::string kinds = "TTFTNNFFTTNINNTNTTTTNNTTTTTNTTNNTTTFIIII";
  ASSERT_EQ(names.size(), static_cast<size_t>(kCommandCount));
  ASSERT_EQ(kinds.size(), static_cast<size_t>(kCommandCount));
  const std::string letters = "NTFI";
  for (int i = 0; i < kCommandCount; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(Commands()[i].name, names[i]);
    EXPECT_EQ(letters[static_cast<int>(Commands()[i].arg)], kinds[i]);
    EXPECT_EQ(FindCommand(names[i]), i);
  }
  // The ids callers switch on name the same rows.
  EXPECT_STREQ(Commands()[kGo].name, "go");
  EXPECT_STREQ(Commands()[kMsgBox3].name, "MsgBox_3");
  EXPECT_STREQ(Commands()[kScript].name, "script");
  EXPECT_STREQ(Commands()[kSetVar].name, "SetVar");
  EXPECT_STREQ(Commands()[kBtStart].name, "bt_start");
  EXPECT_STREQ(Commands()[kCnSetX].name, "cn_set_X");
}

TEST(CommandTable, HelpTextsAreExact) {
  EXPECT_STREQ(Commands()[kHelp].help, "help() - View short help on this console");
  EXPECT_STREQ(Commands()[kGo].help, "Go(command : string) - Execute windows command line");
  EXPECT_STREQ(Commands()[kBwMask].help,
               "bw_mask(mask : string) - Change mask on \"msk\" parametr");
  EXPECT_STREQ(Commands()[kSetVar].help,
               "setvar(expr : string) - Set external varable. Exemple: "
               "setvar($myvar=C:\\Progs\\compl\\compl.32.exe)");
  EXPECT_STREQ(Commands()[kBtStart].help,
               "bt_strt(sheme : string) - Strat numbering batch with sheme");
  EXPECT_STREQ(Commands()[kBwCopy].help, "bw_copy(newdir : string) - Copy file)");
  EXPECT_STREQ(Commands()[kCnReadOnly].help, "cn_read_only(ro : boolean) - Console read only...");
  EXPECT_STREQ(Commands()[kWinExec].help,
               "WinExec(sCmdLine : string) - Same as WinApi function UINT WinExec(LPSTR "
               "lpCmdLine, UINT uCmdShow)");
  for (int i = 0; i < kCommandCount; ++i) {
    SCOPED_TRACE(Commands()[i].name);
    EXPECT_EQ(std::string(Commands()[i].help).empty(), i >= kCnSetX);
  }
}

TEST(FindCommand, IgnoresAsciiCaseButNotBlanks) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"CN_SHOW", kCnShow},
      {"Cn_ShOw", kCnShow},
      {"msgbox_2", kMsgBox2},
      {"SETVAR", kSetVar},
      {"cn_set_x", kCnSetX},
      {"CN_SET_Y", kCnSetY},
      {" cn_show", -1},
      {"cn_show ", -1},
      {"cn show", -1},
      {"", -1},
      {"foo", -1},
      {"help_", -1},
      {std::string("go\0", 3), -1},
  };
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FindCommand(name), expected);
  }
}

TEST(CaseConversion, OnlyAsciiLettersChange) {
  EXPECT_EQ(UpperAscii("abz AZ 09 $_{}"), "ABZ AZ 09 $_{}");
  EXPECT_EQ(LowerAscii("ABZ az 09 $_{}"), "abz az 09 $_{}");
  // Bytes of other characters (here UTF-8 for "ä" and "Ä") are left alone.
  EXPECT_EQ(UpperAscii("\xc3\xa4x"), "\xc3\xa4X");
  EXPECT_EQ(LowerAscii("\xc3\x84X"), "\xc3\x84x");
  EXPECT_EQ(UpperAscii(std::string("a\0b", 3)), std::string("A\0B", 3));
  EXPECT_TRUE(EqualsIgnoreCase("End;", "END;"));
  EXPECT_FALSE(EqualsIgnoreCase("END; ", "END;"));
}

TEST(ParseCommandLine, ClassifiesAndSplitsLines) {
  struct Case {
    std::string line;
    Kind kind;
    std::string name;
    std::string argument;
  };
  const std::vector<Case> cases = {
      {"cn_show()", Kind::kCommand, "cn_show", ""},
      {"cn_show", Kind::kMissingParen, "", ""},
      {"", Kind::kMissingParen, "", ""},
      {"$", Kind::kMissingParen, "", ""},
      {"// cn_show()", Kind::kComment, "", ""},
      {"//", Kind::kComment, "", ""},
      {" //x", Kind::kMissingParen, "", ""},
      {" //x()", Kind::kCommand, " //x", ""},
      {"/x()", Kind::kCommand, "/x", ""},
      {"begin bwscript;", Kind::kScriptHeader, "", ""},
      {"BEGIN BWSCRIPT;", Kind::kScriptHeader, "", ""},
      {"BEGIN BWSCRIPT; ", Kind::kMissingParen, "", ""},
      {" BEGIN BWSCRIPT;", Kind::kMissingParen, "", ""},
      {"end;", Kind::kScriptEnd, "", ""},
      {"End;", Kind::kScriptEnd, "", ""},
      {"end; ", Kind::kMissingParen, "", ""},
      {"cn_print(a)b)", Kind::kCommand, "cn_print", "a"},
      {"cn_print(", Kind::kCommand, "cn_print", ""},
      {")x(", Kind::kCommand, ")x", ""},
      {")x(y)", Kind::kCommand, ")x", ""},
      {"cn_print((a))", Kind::kCommand, "cn_print", "(a"},
      {"cn_print($dir\\x) trailing", Kind::kCommand, "cn_print", "$dir\\x"},
      {" cn_show ( x )", Kind::kCommand, " cn_show ", " x "},
      {"(arg)", Kind::kCommand, "", "arg"},
      {"foo()", Kind::kCommand, "foo", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ParsedLine parsed = ParseCommandLine(c.line);
    EXPECT_EQ(parsed.kind, c.kind);
    EXPECT_EQ(parsed.name, c.name);
    EXPECT_EQ(parsed.raw_argument, c.argument);
  }
}

TEST(ParseCommandLine, HandlesHugeLinesAndNulBytes) {
  const std::string big(10 * 1024 * 1024, 'x');
  const ParsedLine long_argument = ParseCommandLine("cn_print(" + big + ")");
  EXPECT_EQ(long_argument.kind, Kind::kCommand);
  EXPECT_EQ(long_argument.raw_argument.size(), big.size());
  EXPECT_EQ(ParseCommandLine(big).kind, Kind::kMissingParen);
  const ParsedLine long_name = ParseCommandLine(big + "(");
  EXPECT_EQ(long_name.name.size(), big.size());
  EXPECT_EQ(long_name.raw_argument, "");

  const ParsedLine nul = ParseCommandLine(std::string("cn\0print(a\0b)c", 15));
  EXPECT_EQ(nul.kind, Kind::kCommand);
  EXPECT_EQ(nul.name, std::string("cn\0print", 8));
  EXPECT_EQ(nul.raw_argument, std::string("a\0b", 3));
  EXPECT_EQ(ParseCommandLine(std::string("\0", 1)).kind, Kind::kMissingParen);
  EXPECT_EQ(ParseCommandLine(std::string("END;\0", 5)).kind, Kind::kMissingParen);
}

TEST(ParseIntArgument, AcceptsOnlyWholeDecimalNumbers) {
  const std::vector<std::pair<std::string, std::optional<long long>>> cases = {
      {"0", 0},
      {"42", 42},
      {"-17", -17},
      {"+5", 5},
      {"007", 7},
      {"-0", 0},
      {"9223372036854775807", 9223372036854775807LL},
      {"-9223372036854775808", -9223372036854775807LL - 1},
      {"9223372036854775808", std::nullopt},
      {"-9223372036854775809", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-5", std::nullopt},
      {"-+5", std::nullopt},
      {"--5", std::nullopt},
      {"++5", std::nullopt},
      {" 5", std::nullopt},
      {"5 ", std::nullopt},
      {"12a", std::nullopt},
      {"1.0", std::nullopt},
      {"1e3", std::nullopt},
      {"0x10", std::nullopt},
      {"$10", std::nullopt},
      {"TRUE", std::nullopt},
      {std::string("5\0", 2), std::nullopt},
  };
  for (const auto& [raw, expected] : cases) {
    SCOPED_TRACE(raw);
    EXPECT_EQ(ParseIntArgument(raw), expected);
  }
}

TEST(ParseBoolArgument, OnlyTrueAndOneAreTrue) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"TRUE", true},   {"true", true}, {"TrUe", true}, {"1", true},      {"", false},
      {"FALSE", false}, {"0", false},   {"yes", false}, {"2", false},     {" TRUE", false},
      {"TRUE ", false}, {"01", false},  {"+1", false},  {"TRUEX", false}, {"T", false},
  };
  for (const auto& [raw, expected] : cases) {
    SCOPED_TRACE(raw);
    EXPECT_EQ(ParseBoolArgument(raw), expected);
  }
}

}  // namespace
}  // namespace console
