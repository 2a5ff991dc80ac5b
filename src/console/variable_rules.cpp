#include "console/variable_rules.h"

#include <utility>

#include "console/command_rules.h"
#include "platform/file_ops.h"

namespace console {

namespace {

constexpr size_t kNpos = std::string::npos;

// A callback the caller left empty answers with an empty text.
std::string Ask(const std::function<std::string()>& ask) {
  return ask ? ask() : std::string();
}

void Print(const VariableSource& source, const std::string& line) {
  if (source.print) source.print(line);
}

// Replaces every occurrence of `upper_name` (already upper-case) found in `upper`, the
// upper-cased copy of `text`, by `value`. The scan continues after each inserted value, so a value
// that holds the name is not replaced again. `upper` is kept in step with `text`.
void ReplaceAllKnown(std::string& text, std::string& upper, std::string_view upper_name,
                     std::string_view value) {
  if (upper_name.empty()) return;
  size_t pos = upper.find(upper_name);
  if (pos == kNpos) return;
  std::string out;
  size_t from = 0;
  while (pos != kNpos) {
    out.append(text, from, pos - from);
    out.append(value);
    from = pos + upper_name.size();
    pos = upper.find(upper_name, from);
  }
  out.append(text, from);
  text = std::move(out);
  upper = UpperAscii(text);
}

// Asks for a file name and puts it in place of the first exact occurrence of `name` only.
void ReplaceFirstFromDialog(std::string& text, std::string& upper, std::string_view name,
                            const std::function<std::string()>& ask, const VariableSource& source) {
  const std::string file = Ask(ask);
  if (file.empty()) Print(source, "> Hint: File name is NULL");
  const size_t pos = text.find(name);
  if (pos == kNpos) return;
  text.replace(pos, name.size(), file);
  upper = UpperAscii(text);
}

// Position of `name` in `upper`, an upper-case text, comparing `name` upper-cased; npos when
// absent. Works without copying the name, as it runs for every line of the variables file.
size_t FindInUpper(std::string_view upper, std::string_view name) {
  const char first = ToUpperAscii(name.front());
  for (size_t pos = upper.find(first); pos != kNpos; pos = upper.find(first, pos + 1)) {
    if (upper.size() - pos < name.size()) return kNpos;
    size_t k = 1;
    while (k < name.size() && upper[pos + k] == ToUpperAscii(name[k])) ++k;
    if (k == name.size()) return pos;
  }
  return kNpos;
}

// Applies the external lines to `text`, with `upper` its upper-cased copy kept in step: each line
// replaces the first occurrence of its name, found without regard to case, by its value as
// written. The rest of the text keeps its case, since it often holds file names.
template <typename Lines>
void ApplyExternal(std::string& text, std::string& upper, const Lines& lines) {
  for (const std::string_view line : lines) {
    const size_t eq = line.find('=');
    if (eq == kNpos || eq == 0) continue;
    const std::string_view name = line.substr(0, eq);
    const size_t pos = FindInUpper(upper, name);
    if (pos == kNpos) continue;
    // The value ends at the first ";" of the line; without one after the "=" it is empty.
    const size_t semi = line.find(';');
    std::string_view value;
    if (semi != kNpos && semi > eq) value = line.substr(eq + 1, semi - eq - 1);
    text.replace(pos, name.size(), value);
    upper.replace(pos, name.size(), value);
    for (size_t i = pos; i < pos + value.size(); ++i) upper[i] = ToUpperAscii(upper[i]);
  }
}

}  // namespace

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view name,
                                 std::string_view value) {
  std::string result(text);
  std::string upper = UpperAscii(text);
  ReplaceAllKnown(result, upper, UpperAscii(name), value);
  return result;
}

std::string ApplyExternalVariables(std::string text, const std::vector<std::string>& lines) {
  std::string upper = UpperAscii(text);
  ApplyExternal(text, upper, lines);
  return text;
}

std::string ReplaceVariables(std::string_view text, const VariableSource& source) {
  std::string s(text);
  std::string upper = UpperAscii(s);
  auto contains = [&](std::string_view upper_name) { return upper.find(upper_name) != kNpos; };
  auto replace = [&](std::string_view upper_name, std::string_view value) {
    ReplaceAllKnown(s, upper, upper_name, value);
  };
  // Values that cost something to get (clock, dialogs) are fetched only when asked for.
  auto replace_asked = [&](std::string_view upper_name, const std::function<std::string()>& ask) {
    if (contains(upper_name)) replace(upper_name, Ask(ask));
  };

  replace("$STSBTN", source.start_button);
  replace("$DIR", source.current_dir);
  replace("{N}", "\n\r");
  replace("$EXE", source.program_dir);
  replace_asked("$INPUT", source.ask_input);
  replace("$VARFN", kVarFileName);
  replace("$THIS", source.current_file);
  replace_asked("$DATE", source.date);
  replace_asked("$TIME", source.time);
  replace_asked("$SYSDIR", source.system_dir);

  // The dialogs answer only to the names written in capitals in the text as it was passed in.
  if (text.find("$OPENDL") != std::string_view::npos) {
    ReplaceFirstFromDialog(s, upper, "$OPENDL", source.ask_open_file, source);
  }
  if (text.find("$SAVEDL") != std::string_view::npos) {
    ReplaceFirstFromDialog(s, upper, "$SAVEDL", source.ask_save_file, source);
  }

  std::optional<std::string> file_text;
  if (source.read_external) file_text = source.read_external();
  if (!file_text) {
    Print(source, std::string("> Warning: Varable file \"") + kVarFileName + "\"does not exist!");
    return s;
  }
  ApplyExternal(s, upper, platform::SplitLineViews(*file_text));
  return s;
}

}  // namespace console
