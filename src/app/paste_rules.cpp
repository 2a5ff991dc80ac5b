#include "app/paste_rules.h"

#include <set>

#include "app/clipboard_rules.h"
#include "platform/paths.h"

namespace app {
namespace {

std::string WithoutFinalDelims(std::string path) {
  while (path.size() > 1 && platform::EndsWithDelim(path)) path.pop_back();
  return path;
}

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind(platform::kPathDelim) + 1);
}

}  // namespace

PastePlan PlanPaste(const std::vector<std::string>& sources, const std::string& dir, bool move,
                    const PasteFacts& facts) {
  PastePlan plan;
  std::set<std::string> planned;
  const auto taken = [&](const std::string& name) {
    return planned.count(name) > 0 || facts.exists(dir + name);
  };
  for (const std::string& given : sources) {
    const std::string source = WithoutFinalDelims(given);
    const std::string name = NameOf(source);
    if (name.empty()) continue;  // the root has no name to paste under
    std::string target = dir + name;
    if (move && target == source) continue;  // already here
    if (dir.starts_with(source + platform::kPathDelim) || facts.within(dir, source)) {
      plan.refused.push_back(IntoItselfLine(source, move));
      continue;
    }
    if (taken(name)) {
      const std::string both = KeepBothName(name, taken, facts.is_folder(source));
      const ClashAnswer answer = facts.ask(name, both);
      if (answer == ClashAnswer::kCancel) return {{}, {}, true};
      if (answer == ClashAnswer::kSkip) continue;
      target = dir + both;
    }
    planned.insert(NameOf(target));
    plan.steps.push_back({source, std::move(target)});
  }
  return plan;
}

std::string IntoItselfLine(std::string_view source, bool move) {
  return std::string("> Error: Can't ") + (move ? "move" : "copy") + " \"" + std::string(source) +
         "\" into itself";
}

}  // namespace app
