#pragma once

// The text of a desktop trash's info file (NAME.trashinfo), which tells every file manager
// where a trashed file came from and when it was trashed:
//
//   [Trash Info]
//   Path=/home/ann/report%20old.txt
//   DeletionDate=2026-12-09T04:20:00

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct TrashInfo {
  std::string path;           // the original path, decoded (bytes)
  std::string deletion_date;  // YYYY-MM-DDThh:mm:ss, local time
};

// The info file's text for `path` trashed at `when` (local time).
std::string TrashInfoText(const std::string& path, std::time_t when);

// The info in `text`, or nothing when it has no [Trash Info] group, no Path or a malformed one.
std::optional<TrashInfo> ParseTrashInfo(std::string_view text);

}  // namespace platform
