#include "platform/desktop_entry.h"

#include "platform/text_file.h"

namespace platform {

bool IsDesktopEntry(std::string_view path) {
  constexpr std::string_view kSuffix = ".desktop";
  return path.size() > kSuffix.size() && path.substr(path.size() - kSuffix.size()) == kSuffix;
}

std::string DesktopEntryCommand(std::string_view text) {
  bool in_main_group = false;
  for (std::string_view line : SplitLineViews(text)) {
    if (!line.empty() && line.front() == '[') {
      in_main_group = line == "[Desktop Entry]";
      continue;
    }
    if (!in_main_group || line.substr(0, 5) != "Exec=") continue;
    std::string command;
    const std::string_view value = line.substr(5);
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] != '%') {
        command += value[i];
      } else if (i + 1 < value.size()) {
        // "%%" is a percent sign; every other code stands for files or names the menu would
        // pass, and none are passed here.
        if (value[++i] == '%') command += '%';
      }
    }
    while (!command.empty() && command.back() == ' ') command.pop_back();
    return command;
  }
  return {};
}

}  // namespace platform
