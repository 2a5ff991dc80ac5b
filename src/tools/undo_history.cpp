#include "tools/undo_history.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace tools {

bool UndoHistory::Record(const UndoEntry& entry) const {
  // The history names full paths only; a change on a relative one is not recorded.
  for (const std::string& path : entry.paths) {
    if (path.empty() || path.front() != '/') return false;
  }
  return platform::AppendFile(path_).Append(UndoEntryLine(entry));
}

std::optional<std::vector<UndoEntry>> UndoHistory::Load() const {
  if (!platform::IsFileDirOrLink(path_)) return std::vector<UndoEntry>{};
  const auto text = platform::ReadWholeFile(path_);
  if (!text) return std::nullopt;
  return ParseUndoHistory(*text);
}

bool UndoHistory::DropLast() const {
  auto entries = Load();
  if (!entries || entries->empty()) return false;
  entries->pop_back();
  std::string text;
  for (const UndoEntry& entry : *entries) text += UndoEntryLine(entry);
  try {
    platform::WriteFileAtomic(path_, text);
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

}  // namespace tools
