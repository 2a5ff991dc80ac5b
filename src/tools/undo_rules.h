#pragma once

// The undo history's text (undo.bw in the settings directory): one change per line, the most
// recent last, each written before the change is made.
//
//   TRASH  <tab> identity <tab> original <tab> path in the trash <tab> its info file
//   RENAME <tab> identity <tab> old <tab> new      (also a move within one file system)
//   CREATE <tab> identity <tab> path               (identity 0s: made just after the record)
//   BATCH                                          a batch renaming run, kept in renames.bw
//
// identity is dev <tab> ino <tab> size <tab> mtime <tab> btime of the file the change is about.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"

namespace tools {

inline constexpr const char* kUndoFileName = "undo.bw";

enum class UndoKind { kTrash, kRename, kCreate, kBatch };

struct UndoEntry {
  UndoKind kind = UndoKind::kRename;
  platform::FileIdentity id;
  std::vector<std::string> paths;  // as listed above, per kind
};

// The entry's line with its CR LF.
std::string UndoEntryLine(const UndoEntry& entry);

// Every entry of the history, oldest first; nothing when a line cannot be read (other than a
// last line cut short by a crash), so that a damaged history is refused as a whole.
std::optional<std::vector<UndoEntry>> ParseUndoHistory(std::string_view text);

// The menu caption that says what undo will take back, such as "Undo rename of report.txt".
std::string UndoCaption(const UndoEntry& entry);

}  // namespace tools
