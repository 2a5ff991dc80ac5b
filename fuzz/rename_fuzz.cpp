// The rename name builder: pattern, old name, replace texts and a list of names, split at NUL
// bytes. Conflict finding answers once per entry and never passes an unusable name.
#include <string>
#include <unordered_set>
#include <vector>

#include "console/variable_rules.h"
#include "fuzz_support.h"
#include "platform/paths.h"
#include "tools/batch_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(data, size, 5);
  const std::string& pattern = parts[0];
  const std::string& old_name = parts[1];
  const std::string& what = parts[2];
  const std::string& with = parts[3];

  const std::size_t position = size;
  tools::ExpandPlaceholders(pattern, old_name, position);
  console::VariableSource vars;
  vars.current_dir = "/tmp/";
  vars.read_external = [] { return std::optional<std::string>("$DIR=x;"); };
  tools::BuildNewName(pattern, old_name, position, vars);
  const std::string replaced = tools::ReplaceInName(old_name, what, with);
  if (what.empty()) FUZZ_CHECK(replaced == old_name);

  const tools::BatchEntry entry = tools::SplitEntry(old_name);
  FUZZ_CHECK(tools::SplitEntry(tools::EntryText(entry)).name == entry.name);
  tools::IsParentEntry(old_name);
  platform::JoinPath(what, with);
  tools::ScriptSaveName(pattern);

  // Old names from the last part, one per line; new names from the replace run over them.
  std::vector<std::string> old_names, new_names;
  std::unordered_set<std::string> existing;
  std::string_view rest = parts[4];
  while (!rest.empty() && old_names.size() < 32) {
    const std::size_t end = rest.find('\n');
    const std::string name(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    old_names.push_back(name);
    new_names.push_back(tools::ReplaceInName(name, what, with));
    existing.insert(name);
  }
  const auto problems = tools::FindConflicts(old_names, new_names, existing);
  FUZZ_CHECK(problems.size() == old_names.size());
  for (std::size_t i = 0; i < problems.size(); ++i) {
    if (problems[i] == tools::NameProblem::kNone) FUZZ_CHECK(tools::IsValidName(new_names[i]));
    tools::ProblemText(problems[i]);
  }
  return 0;
}
