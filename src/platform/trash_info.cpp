#include "platform/trash_info.h"

#include "platform/paths.h"
#include "platform/text_file.h"

namespace platform {

std::string TrashInfoText(const std::string& path, std::time_t when) {
  struct tm local {};
  localtime_r(&when, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + PercentEncode(path) + "\nDeletionDate=" + date + "\n";
}

std::optional<TrashInfo> ParseTrashInfo(std::string_view text) {
  std::optional<TrashInfo> info;
  bool in_group = false;
  bool has_path = false;
  for (std::string_view line : SplitLineViews(text)) {
    if (!line.empty() && line.front() == '[') {
      in_group = line == "[Trash Info]";
      if (in_group && !info) info = TrashInfo{};
      continue;
    }
    if (!in_group) continue;
    // The first value of a key counts, as in any desktop entry file.
    if (line.rfind("Path=", 0) == 0 && !has_path) {
      auto path = PercentDecode(line.substr(5));
      if (!path || path->empty()) return std::nullopt;
      info->path = std::move(*path);
      has_path = true;
    } else if (line.rfind("DeletionDate=", 0) == 0 && info->deletion_date.empty()) {
      info->deletion_date = std::string(line.substr(13));
    }
  }
  if (!info || !has_path) return std::nullopt;
  return info;
}

}  // namespace platform
