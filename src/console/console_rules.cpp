#include "console/console_rules.h"

#include "console/command_rules.h"

namespace console {

std::vector<std::string> CompletionsFor(std::string_view typed) {
  std::vector<std::string> matches;
  if (typed.empty()) return matches;
  const std::string wanted = UpperAscii(typed);
  for (const CommandInfo& command : Commands()) {
    if (UpperAscii(command.name).find(wanted) != std::string::npos) {
      matches.push_back(std::string(command.name) + "()");
    }
  }
  return matches;
}

void FormatListingLine(std::string& line, std::string_view name, std::int64_t size,
                       std::string_view date) {
  line.assign(name);
  line += "; Size: ";
  line += std::to_string(size);
  line += "; Date: ";
  line += date;
}

}  // namespace console
