#include "tools/batch_rules.h"

#include <unordered_map>

#include "console/command_rules.h"
#include "console/variable_rules.h"
#include "platform/paths.h"

namespace tools {

namespace {

using Parts = std::vector<console::TextPart>;

// Replaces the first occurrence of `name` in the open parts by `value`, itself open or not.
void ReplaceFirst(Parts& parts, std::string_view name, std::string_view value, bool open) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!parts[i].open) continue;
    const std::size_t pos = parts[i].text.find(name);
    if (pos == std::string::npos) continue;
    console::TextPart after{parts[i].text.substr(pos + name.size()), true};
    parts[i].text.resize(pos);
    parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                 {console::TextPart{std::string(value), open}, std::move(after)});
    return;
  }
}

// The pattern with its placeholders expanded: the pattern's own text and the number stay open
// to the console variables, the parts of the old name do not, so a name holding "$DATE" or
// "{n}" keeps it.
Parts ExpandPlaceholderParts(std::string_view pattern, std::string_view old_name,
                             std::size_t position) {
  Parts parts{{std::string(pattern), true}};
  ReplaceFirst(parts, "$NUM", std::to_string(position), true);
  const std::size_t first_dot = old_name.find('.');
  ReplaceFirst(
      parts, "$OFN",
      first_dot == std::string_view::npos ? std::string_view() : old_name.substr(0, first_dot),
      false);
  const std::size_t last_dot = old_name.rfind('.');
  ReplaceFirst(parts, "$EXT",
               last_dot == std::string_view::npos ? std::string_view() : old_name.substr(last_dot),
               false);
  return parts;
}

}  // namespace

std::string ExpandPlaceholders(std::string_view pattern, std::string_view old_name,
                               std::size_t position) {
  std::string name;
  for (const console::TextPart& part : ExpandPlaceholderParts(pattern, old_name, position)) {
    name += part.text;
  }
  return name;
}

std::string BuildNewName(std::string_view pattern, std::string_view old_name, std::size_t position,
                         const console::VariableSource& variables) {
  return console::ReplaceVariables(ExpandPlaceholderParts(pattern, old_name, position), variables);
}

std::string ReplaceInName(std::string_view name, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(name);
  std::string out;
  std::size_t from = 0;
  for (std::size_t pos = name.find(what); pos != std::string_view::npos;
       pos = name.find(what, from)) {
    out.append(name.substr(from, pos - from));
    out.append(with);
    from = pos + what.size();
  }
  out.append(name.substr(from));
  return out;
}

BatchEntry SplitEntry(std::string_view entry) {
  BatchEntry out;
  out.is_dir = platform::EndsWithDelim(entry);
  out.name = std::string(out.is_dir ? entry.substr(0, entry.size() - 1) : entry);
  return out;
}

std::string EntryText(const BatchEntry& entry) {
  return entry.is_dir ? entry.name + platform::kPathDelim : entry.name;
}

bool IsParentEntry(std::string_view entry) {
  return SplitEntry(entry).name == "..";
}

BoundEntry BindEntry(std::string_view listed_dir, std::string_view entry) {
  if (!listed_dir.empty()) return {std::string(listed_dir), std::string(entry)};
  const BatchEntry split = SplitEntry(entry);
  const std::size_t delim = split.name.rfind(platform::kPathDelim);
  if (delim == std::string::npos) return {{}, std::string(entry)};
  return {split.name.substr(0, delim + 1), EntryText({split.name.substr(delim + 1), split.is_dir})};
}

bool IsValidName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find(platform::kPathDelim) == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::vector<NameProblem> FindConflicts(const std::vector<std::string>& old_names,
                                       const std::vector<std::string>& new_names,
                                       const std::unordered_set<std::string>& existing) {
  const std::size_t n = std::min(old_names.size(), new_names.size());
  std::vector<NameProblem> problems(n, NameProblem::kNone);
  for (std::size_t i = 0; i < n; ++i) {
    if (old_names[i] == "..") {
      problems[i] = NameProblem::kParent;
    } else if (!IsValidName(new_names[i])) {
      problems[i] = NameProblem::kInvalid;
    } else if (new_names[i] == old_names[i]) {
      problems[i] = NameProblem::kUnchanged;
    }
  }
  std::unordered_map<std::string_view, int> targets;
  targets.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (problems[i] == NameProblem::kNone) ++targets[new_names[i]];
  }
  // The run renames one entry after another: each rename frees the old name and takes the new.
  // `changed` says, for each name a rename has touched, whether a file holds it now; every
  // other name is held when it is in `existing`.
  std::unordered_map<std::string_view, bool> changed;
  changed.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    if (problems[i] != NameProblem::kNone) continue;
    const std::string& name = new_names[i];
    const auto it = changed.find(name);
    const bool held = it != changed.end() ? it->second : existing.contains(name);
    if (targets[name] > 1) {
      problems[i] = NameProblem::kDuplicate;
    } else if (held) {
      problems[i] = NameProblem::kTaken;
    } else {
      changed[old_names[i]] = false;
      changed[name] = true;
    }
  }
  return problems;
}

const char* ProblemText(NameProblem problem) {
  switch (problem) {
    case NameProblem::kNone:
      return "";
    case NameProblem::kParent:
      return "the parent directory is not renamed";
    case NameProblem::kInvalid:
      return "not a valid name";
    case NameProblem::kUnchanged:
      return "the name does not change";
    case NameProblem::kDuplicate:
      return "two files get this name";
    case NameProblem::kTaken:
      return "another file has this name";
  }
  return "";
}

std::string ScriptSaveName(std::string_view chosen) {
  std::string name(chosen);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || console::UpperAscii(name.substr(dot)) != ".BWS") name += ".bws";
  return name;
}

}  // namespace tools
