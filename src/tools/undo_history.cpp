#include "tools/undo_history.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace tools {

bool UndoHistory::Record(const UndoEntry& entry) const {
  // A line the history could not read back would make it refused as a whole: a change on a
  // relative path, for one, is not recorded.
  const std::string line = UndoEntryLine(entry);
  const auto back = ParseUndoHistory(line);
  if (!back || back->size() != 1) return false;
  return platform::AppendFile(path_).Append(line);
}

std::optional<std::vector<UndoEntry>> UndoHistory::Load() const {
  if (!platform::IsFileDirOrLink(path_)) return std::vector<UndoEntry>{};
  const auto text = platform::ReadWholeFile(path_);
  if (!text) return std::nullopt;
  return ParseUndoHistory(*text);
}

bool UndoHistory::DropLast() const {
  bool any = false;
  const bool written = Rewrite([&](std::vector<UndoEntry>& entries) {
    any = !entries.empty();
    if (any) entries.pop_back();
    return any;
  });
  return written && any;
}

bool UndoHistory::Rewrite(const std::function<bool(std::vector<UndoEntry>&)>& change) const {
  auto entries = Load();
  if (!entries) return false;
  if (!change(*entries)) return true;
  const std::string text = UndoHistoryText(*entries, kMaxUndoHistoryBytes);
  try {
    platform::WriteFileAtomic(path_, text);
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

}  // namespace tools
