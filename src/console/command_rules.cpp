#include "console/command_rules.h"

#include <charconv>

namespace console {

namespace {

// The table order is the command identity; these pin the enum to it.
static_assert(kHelp == 0 && kGo == 9 && kCnPrint == 14 && kBwMask == 19 && kScript == 23);
static_assert(kSetVar == 27 && kCnReadOnly == 35 && kCnSetX == 36 && kCnSetHt == 39);
static_assert(kCnSetHt + 1 == kCommandCount);

constexpr std::array<CommandInfo, kCommandCount> kCommands = {{
    {"help", ArgKind::kText, "help() - View short help on this console"},
    {"help_on", ArgKind::kText,
     "help_on(cmd : string) - View fully information on the command. Exemple: help_on(help)"},
    {"bw_quit", ArgKind::kFlag,
     "bw_quit(msgbox : Boolean) - Quit programm. If parametr is TRUE program will show "
     "confrimation, FALSE just quit"},
    {"bw_scan_dir", ArgKind::kText,
     "bw_scan_dir(dir : string) - Same as Start button on main window"},
    {"cn_clear", ArgKind::kNone, "cn_clear() - Clear all console messages"},
    {"bw_sel_all", ArgKind::kNone, "bw_sel_all() - Select all items in file list"},
    {"bw_bookmarks", ArgKind::kFlag,
     "bw_bookmarks(show : boolean) - Toggle bookmarks. TRUE - show, FALSE - hide"},
    {"bw_dir_tree", ArgKind::kFlag,
     "bw_dir_tree(show : boolean) - Toggle directory tree, TRUE - show, FALSE - hide"},
    {"bw_view_hex", ArgKind::kText,
     "bw_view_hex(filename : string) - View specified file hexadecimal mode"},
    {"go", ArgKind::kText, "Go(command : string) - Execute windows command line"},
    {"sw_options", ArgKind::kNone, "sw_options() - Show options window"},
    {"sw_renaming", ArgKind::kInteger, "sw_renaming() - Show renaming window"},
    {"sw_htmlfl", ArgKind::kNone, "sw_htmlfl() - Show HTML File List creation window"},
    {"sw_search", ArgKind::kNone, "sw_search() - show File Search window"},
    {"cn_print", ArgKind::kText, "cn_print(msg : string) - Print string in conole"},
    {"view_vars", ArgKind::kNone, "view_vars() - Show all avable varables in console"},
    {"MsgBox_1", ArgKind::kText, "MsgBox_1(msg : string) - Message box, type 1"},
    {"MsgBox_2", ArgKind::kText, "MsgBox_2(msg : string) - Message box, type 2"},
    {"MsgBox_3", ArgKind::kText, "MsgBox_3(msg : string) - Message box, type 3"},
    {"bw_mask", ArgKind::kText, "bw_mask(mask : string) - Change mask on \"msk\" parametr"},
    {"cn_show", ArgKind::kNone, "cn_show() - show console"},
    {"cn_close", ArgKind::kNone, "cn_close() - close console"},
    {"cn_save_data", ArgKind::kText,
     "cn_save_data(filename : string) - Save all console strings to filename"},
    {"script", ArgKind::kText, "script(filename : string) - Load script file"},
    {"cn_read_txtfile", ArgKind::kText,
     "cn_read_txtfile(file : string) - Load text file to console"},
    {"cn_listing", ArgKind::kText, "cn_listing() - Listing"},
    {"cn_font", ArgKind::kText, "cn_font(name : string) - Change console font"},
    {"SetVar", ArgKind::kNone,
     "setvar(expr : string) - Set external varable. Exemple: "
     "setvar($myvar=C:\\Progs\\compl\\compl.32.exe)"},
    {"WinExec", ArgKind::kText,
     "WinExec(sCmdLine : string) - Same as WinApi function UINT WinExec(LPSTR lpCmdLine, UINT "
     "uCmdShow)"},
    {"bt_start", ArgKind::kText, "bt_strt(sheme : string) - Strat numbering batch with sheme"},
    {"bw_del_sel", ArgKind::kNone, "bw_del_sel() - Delet selection"},
    {"bw_del_this", ArgKind::kNone, "bw_del_this() - Delet file"},
    {"bw_copy", ArgKind::kText, "bw_copy(newdir : string) - Copy file)"},
    {"bw_rename", ArgKind::kText, "bw_rename(nename : string) - Reanme courent file"},
    {"cn_title", ArgKind::kText, "cn_title(title : string) - Set console title"},
    {"cn_read_only", ArgKind::kFlag, "cn_read_only(ro : boolean) - Console read only..."},
    {"cn_set_X", ArgKind::kInteger, ""},
    {"cn_set_y", ArgKind::kInteger, ""},
    {"cn_set_wt", ArgKind::kInteger, ""},
    {"cn_set_ht", ArgKind::kInteger, ""},
}};

constexpr std::string_view kHeaderLine = "BEGIN BWSCRIPT;";
constexpr std::string_view kEndLine = "END;";

}  // namespace

const std::array<CommandInfo, kCommandCount>& Commands() {
  return kCommands;
}

int FindCommand(std::string_view name) {
  for (int i = 0; i < kCommandCount; ++i) {
    if (EqualsIgnoreCase(name, kCommands[i].name)) return i;
  }
  return -1;
}

ParsedLine ParseCommandLine(std::string_view line) {
  ParsedLine parsed;
  // The whole-line comparisons check the length first, so a huge line is never copied.
  if (EqualsIgnoreCase(line, kHeaderLine)) {
    parsed.kind = ParsedLine::Kind::kScriptHeader;
    return parsed;
  }
  if (EqualsIgnoreCase(line, kEndLine)) {
    parsed.kind = ParsedLine::Kind::kScriptEnd;
    return parsed;
  }
  if (line.starts_with("//")) {
    parsed.kind = ParsedLine::Kind::kComment;
    return parsed;
  }
  const size_t open = line.find('(');
  if (open == std::string_view::npos) {
    parsed.kind = ParsedLine::Kind::kMissingParen;
    return parsed;
  }
  parsed.kind = ParsedLine::Kind::kCommand;
  parsed.name = std::string(line.substr(0, open));
  // A ")" that stands before the "(" closes nothing, and the argument is then empty.
  const size_t close = line.find(')');
  if (close != std::string_view::npos && close > open) {
    parsed.raw_argument = std::string(line.substr(open + 1, close - open - 1));
  }
  return parsed;
}

std::optional<long long> ParseIntArgument(std::string_view raw) {
  // from_chars takes "-" but not "+"; a "+" must be followed directly by a digit.
  if (raw.starts_with('+')) {
    raw.remove_prefix(1);
    if (raw.empty() || raw.front() < '0' || raw.front() > '9') return std::nullopt;
  }
  long long value = 0;
  const char* end = raw.data() + raw.size();
  const auto [ptr, ec] = std::from_chars(raw.data(), end, value, 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

bool ParseBoolArgument(std::string_view raw) {
  return raw == "1" || EqualsIgnoreCase(raw, "TRUE");
}

}  // namespace console
