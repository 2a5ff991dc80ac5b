#pragma once

// Substitution of $-variables in command arguments and other texts.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Name of the external variables file, without a path.
inline constexpr const char* kVarFileName = "defvars.txt";

// The nine names the variables window offers, in its order.
inline constexpr const char* kConsoleVariables[] = {
    "$DIR", "{n}", "$EXE", "$INPUT", "$OPENDL", "$SAVEDL", "$THIS", "$DATE", "$TIME"};

// What substitution needs from the running program. The callbacks are asked only when the text
// names their variable, each at most once per call. A callback left empty answers with an empty
// text; an empty read_external counts as a missing file.
struct VariableSource {
  std::string start_button;                       // $STSBTN
  std::string current_dir;                        // $DIR
  std::string program_dir;                        // $EXE, ending in the delimiter
  std::string current_file;                       // $THIS
  std::function<std::string()> date;              // $DATE, short date format
  std::function<std::string()> time;              // $TIME, long time format
  std::function<std::string()> system_dir;        // $SYSDIR
  std::function<std::string()> ask_input;         // $INPUT; "" when cancelled
  std::function<std::string()> ask_open_file;     // $OPENDL; "" when cancelled
  std::function<std::string()> ask_save_file;     // $SAVEDL; "" when cancelled
  std::function<void(const std::string&)> print;  // console lines (warnings and hints)
  // The text of the external variables file, or nothing when the file does not exist.
  std::function<std::optional<std::string>()> read_external;
  // The lines of the external variables file, for callers that expand thousands of texts with
  // one reading of the file (which may hold 100,000 lines); when set, read_external is not asked.
  // Not owned.
  const std::vector<std::string_view>* external_lines = nullptr;
};

// The text with every variable replaced, in the fixed order of the built-in variables and then
// the external ones. The lines of the external variables file apply top to bottom: each
// "name=value;" line replaces the first occurrence of its name (ASCII case ignored) by its value
// as written; the rest of the text keeps its case. A value may bring in a name that a later line
// replaces. Costs at worst the text's length times the number of lines; a line whose name is
// absent costs about the length of its name. Only the text as passed (and the values external
// variables bring in) is replaced: the value of a built-in variable (a path, a typed text, a chosen
// file name) reaches the result as it is, never replaced again by a later built-in or an external
// variable.
std::string ReplaceVariables(std::string_view text, const VariableSource& source);

// A part of a text to substitute. Only open parts are searched for variables; the others (a
// file's own name brought into a new name) reach the result as they are.
struct TextPart {
  std::string text;
  bool open = true;
};
// ReplaceVariables over the parts joined, searching the open parts only; neighbouring open
// parts are searched as one text.
std::string ReplaceVariables(const std::vector<TextPart>& parts, const VariableSource& source);

}  // namespace console
