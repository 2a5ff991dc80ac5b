#pragma once

// The console language: the fixed command table and the grammar of one command line.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ascii_case.h"

namespace console {

// How a command reads the text between its parentheses.
enum class ArgKind {
  kNone,     // never read
  kText,     // substituted text
  kFlag,     // "TRUE" in any case or exactly "1" is true; anything else false
  kInteger,  // a whole decimal number with an optional sign
};

struct CommandInfo {
  const char* name;  // as listed, capitals kept
  ArgKind arg;
  const char* help;  // empty for the four window-geometry commands
};

inline constexpr int kCommandCount = 40;

// Command indexes; the index is the command's identity.
// clang-format off
enum CommandId {
  kHelp, kHelpOn, kBwQuit, kBwScanDir, kCnClear, kBwSelAll, kBwBookmarks, kBwDirTree,
  kBwViewHex, kGo, kSwOptions, kSwRenaming, kSwHtmlfl, kSwSearch, kCnPrint, kViewVars,
  kMsgBox1, kMsgBox2, kMsgBox3, kBwMask, kCnShow, kCnClose, kCnSaveData, kScript,
  kCnReadTxtfile, kCnListing, kCnFont, kSetVar, kWinExec, kBtStart, kBwDelSel, kBwDelThis,
  kBwCopy, kBwRename, kCnTitle, kCnReadOnly, kCnSetX, kCnSetY, kCnSetWt, kCnSetHt,
};
// clang-format on

// The 40 commands in table order.
const std::array<CommandInfo, kCommandCount>& Commands();

// The program's one ASCII case rule, under the names the console code uses.
using platform::EqualsIgnoreCase;
using platform::LowerAscii;
using platform::ToUpperAscii;
using platform::UpperAscii;

// The index of the command whose name equals `name` ignoring ASCII case (blanks count), or -1.
int FindCommand(std::string_view name);

// What a line is, before any command runs.
struct ParsedLine {
  enum class Kind {
    kScriptHeader,  // "BEGIN BWSCRIPT;" in any case, nothing else on the line
    kScriptEnd,     // "END;" in any case
    kComment,       // starts with "//" in the first column
    kMissingParen,  // no "(" anywhere (an empty line too)
    kCommand,       // a name before the first "("; it may match no command
  };
  Kind kind = Kind::kMissingParen;
  std::string name;          // the text before the first "(", not trimmed
  std::string raw_argument;  // between the first "(" and the first ")"; empty without ")"
};

ParsedLine ParseCommandLine(std::string_view line);

// The raw argument as a whole decimal number with an optional sign; nothing when it is not one
// (an empty argument included) or does not fit.
std::optional<long long> ParseIntArgument(std::string_view raw);

// True when the raw argument is "TRUE" in any capitalisation or exactly "1".
bool ParseBoolArgument(std::string_view raw);

}  // namespace console
