#include "tools/undo_history.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace tools {

namespace {

// Appends alone would let the history grow without end; once past this, it is rewritten with
// its newest entries. The margin over the rewrite's cap keeps that from happening at every job.
constexpr std::int64_t kCompactBeyond = kMaxUndoHistoryBytes + kMaxTransferLineBytes;

}  // namespace

bool UndoHistory::Record(const UndoEntry& entry, bool durable) const {
  // A line the history could not read back would make it refused as a whole: a change on a
  // relative path, for one, is not recorded.
  const std::string line = UndoEntryLine(entry);
  const auto back = ParseUndoHistory(line);
  if (!back || back->size() != 1) return false;
  return Append(line, durable);
}

bool UndoHistory::RecordMade(std::uint64_t job, const std::vector<TransferItem>& made) const {
  return Append(TransferMadeLine(job, made), false);
}

bool UndoHistory::Append(std::string_view line, bool durable) const {
  std::int64_t size = 0;
  {
    // The reader passes over a line cut short by a crash only at the end, so such a line goes
    // before another is added.
    platform::AppendFile file(path_);
    if (!file.LockWholeLines() || !file.Append(line) || (durable && !file.Sync())) return false;
    size = file.Size();
  }
  if (size > kCompactBeyond) {
    Rewrite([](std::vector<UndoEntry>&) { return true; });  // the append stands either way
  }
  return true;
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
