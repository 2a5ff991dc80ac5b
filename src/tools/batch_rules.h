#pragma once

// How the batch window builds new names and finds the ones that cannot be used, as plain
// functions of names: nothing here touches the disk.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace console {
struct VariableSource;
}

namespace tools {

// The pattern with the first "$NUM" replaced by the position, then the first "$OFN" by the old
// name up to its first "." (empty without a dot), then the first "$EXT" by the old name from its
// last "." on (empty without a dot). Each step searches the text the step before produced, save
// the parts of the old name brought in; the placeholders match only in capitals.
std::string ExpandPlaceholders(std::string_view pattern, std::string_view old_name,
                               std::size_t position);

// The numbering run's new name: the placeholders expanded, then the console variables, which
// never touch the parts of the old name.
std::string BuildNewName(std::string_view pattern, std::string_view old_name, std::size_t position,
                         const console::VariableSource& variables);

// The replace run's new name: every occurrence of `what` (letter case counts) replaced by
// `with`; an empty `what` changes nothing.
std::string ReplaceInName(std::string_view name, std::string_view what, std::string_view with);

// An entry of the batch list: a file name, or a directory name followed by the delimiter.
struct BatchEntry {
  std::string name;  // without the delimiter
  bool is_dir = false;
};
BatchEntry SplitEntry(std::string_view entry);
// The list text for a name: directories keep their delimiter at the end.
std::string EntryText(const BatchEntry& entry);
// True for the parent directory's entry, which is never renamed.
bool IsParentEntry(std::string_view entry);

// A main-list entry and the directory it lives in. The list names entries of the listed
// directory, or, while it shows search results (`listed_dir` empty), full paths: a found file
// is bound to its own directory and listed by its name.
struct BoundEntry {
  std::string dir;    // ending in the delimiter; empty for a bare name without a directory
  std::string entry;  // as the batch list shows it
};
BoundEntry BindEntry(std::string_view listed_dir, std::string_view entry);

// False for a name no file can take in this directory: empty, "." or "..", or holding the
// delimiter or NUL (which would reach into another directory or cut the name).
bool IsValidName(std::string_view name);

enum class NameProblem {
  kNone,
  kParent,     // the parent directory's entry
  kInvalid,    // see IsValidName
  kUnchanged,  // the new name is the old one
  kDuplicate,  // two or more entries get this name
  kTaken,      // a file holds the name when the run reaches this entry
};

// What stands in the way of each planned rename, in list order. `existing` holds the names in
// the directory now; the renames are taken one after another as the run does them, so a name
// freed by an earlier entry can be taken by a later one, and a name held by a later entry of
// the batch is taken.
std::vector<NameProblem> FindConflicts(const std::vector<std::string>& old_names,
                                       const std::vector<std::string>& new_names,
                                       const std::unordered_set<std::string>& existing);

// A short text for the user about a problem; empty for kNone.
const char* ProblemText(NameProblem problem);

// The name a script is saved under: the chosen name, with ".bws" added unless its extension
// (from the last "." on) is ".bws" in any letter case.
std::string ScriptSaveName(std::string_view chosen);

}  // namespace tools
