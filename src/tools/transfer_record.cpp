#include "tools/transfer_record.h"

#include <optional>
#include <utility>

#include "platform/file_identity.h"

namespace tools {

namespace {

std::string Noun(UndoKind kind) {
  return kind == UndoKind::kMove ? "move" : "copy";
}

std::string Trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The planned item as the job left it: its target as made, or nothing when it was not. The
// target was free when planned, so a moved file is known by its source being gone (a directory
// moved to another parent may take a new time); a copy by the source's size and time.
std::optional<TransferItem> Made(UndoKind kind, const TransferItem& planned) {
  const auto now = platform::GetFileIdentity(planned.target);
  if (!now) return std::nullopt;
  const bool made = kind == UndoKind::kMove ? !platform::GetFileIdentity(planned.source)
                                            : IsTransferredFile(planned.id, *now);
  if (!made) return std::nullopt;
  return TransferItem{*now, planned.source, planned.target};
}

}  // namespace

TransferRecord::TransferRecord(UndoHistory history, UndoKind kind, Warn warn)
    : history_(std::move(history)), kind_(kind), warn_(std::move(warn)) {}

TransferRecord::TransferRecord(TransferRecord&& other) noexcept
    : history_(other.history_),
      kind_(other.kind_),
      warn_(std::move(other.warn_)),
      planned_(std::exchange(other.planned_, {})),
      bytes_(other.bytes_),
      warned_(other.warned_) {}

TransferRecord::~TransferRecord() {
  Finish();
}

void TransferRecord::WarnOnce(const std::string& line) {
  if (!warned_ && warn_) warn_(line);
  warned_ = true;
}

void TransferRecord::Plan(const std::vector<Pair>& pairs) {
  UndoEntry entry{kind_, {}, {}};
  for (const Pair& pair : pairs) {
    TransferItem item{{}, Trimmed(pair.source), Trimmed(pair.target)};
    const auto source = platform::GetFileIdentity(item.source);
    if (!source || platform::GetFileIdentity(item.target)) continue;
    if (!IsPlainFullPath(item.source) || !IsPlainFullPath(item.target)) continue;
    const TransferItem* first = !entry.items.empty() ? &entry.items.front()
                                : !planned_.empty()  ? &planned_.front().items.front()
                                                     : nullptr;
    if (first != nullptr && !SameDirectory(first->target, item.target)) continue;
    const std::size_t bytes = TransferItemBytes(item);
    if (bytes_ + bytes + 16 > kMaxTransferLineBytes) {
      WarnOnce("> Warning: The undo record of this " + Noun(kind_) + " is full (4 MiB): \"" +
               item.source + "\" and the files after it can not be undone");
      break;
    }
    bytes_ += bytes;
    // Only what is known before the job: the target is matched by the source's size and time.
    item.id.size = source->size;
    item.id.mtime_ns = source->mtime_ns;
    entry.items.push_back(std::move(item));
  }
  if (entry.items.empty()) return;
  if (!history_.Record(entry)) {
    WarnOnce("> Warning: the undo history \"" + history_.path() + "\" can not be written; this " +
             Noun(kind_) + " can not be undone");
    return;
  }
  planned_.push_back(std::move(entry));
}

void TransferRecord::Finish() {
  if (planned_.empty()) return;
  history_.Rewrite([&](std::vector<UndoEntry>& entries) {
    // The planned lines still in the history (an undo during the job may have taken some),
    // replaced by one entry where the first of them was.
    UndoEntry done{kind_, {}, {}};
    std::optional<std::size_t> at;
    std::size_t limit = entries.size();
    for (auto planned = planned_.rbegin(); planned != planned_.rend(); ++planned) {
      std::size_t i = limit;
      while (i > 0 && entries[i - 1] != *planned) --i;
      if (i == 0) continue;
      at = limit = i - 1;
      std::vector<TransferItem> made;
      for (const TransferItem& item : planned->items) {
        if (auto m = Made(kind_, item)) made.push_back(std::move(*m));
      }
      done.items.insert(done.items.begin(), made.begin(), made.end());
      entries.erase(entries.begin() + i - 1);
    }
    if (!at) return false;
    if (!done.items.empty()) entries.insert(entries.begin() + *at, std::move(done));
    return true;
  });
  planned_.clear();
}

}  // namespace tools
