#pragma once

// The undo history file: changes are added as they are about to be made and taken off as they
// are undone, so the history survives a restart and a crash.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/undo_rules.h"

namespace tools {

class UndoHistory {
 public:
  explicit UndoHistory(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  // Adds a change as the most recent, on the disk before it returns when `durable`; false when
  // the file cannot be written.
  bool Record(const UndoEntry& entry, bool durable = false) const;
  // Ends the running copy or move job `job` with the items it made; not waited for on the
  // disk (TransferRecord says why that is safe). False when the file cannot be written.
  bool RecordMade(std::uint64_t job, const std::vector<TransferItem>& made) const;
  // Every entry, oldest first (none when there is no file); nothing when the file is damaged.
  std::optional<std::vector<UndoEntry>> Load() const;
  // Takes the most recent entry off; false when the file cannot be written.
  bool DropLast() const;
  // Lets `change` edit the entries and writes them back whole, unless it returns false for
  // nothing changed; false when the history cannot be read or written, and then the file
  // stays as it was.
  bool Rewrite(const std::function<bool(std::vector<UndoEntry>&)>& change) const;

 private:
  bool Append(std::string_view line, bool durable) const;

  std::string path_;
};

}  // namespace tools
