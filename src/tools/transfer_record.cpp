#include "tools/transfer_record.h"

#include <optional>
#include <utility>

#include "platform/file_identity.h"
#include "platform/random_id.h"

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

// A job number no other job in the history has, as far as chance goes: jobs of other windows
// and other instances of the program append to the same history.
std::uint64_t NewJob() {
  const std::uint64_t job = platform::RandomId();
  return job != 0 ? job : 1;
}

}  // namespace

TransferRecord::TransferRecord(UndoHistory history, UndoKind kind, Warn warn)
    : history_(std::move(history)), kind_(kind), warn_(std::move(warn)), job_(NewJob()) {}

TransferRecord::TransferRecord(TransferRecord&& other) noexcept
    : history_(other.history_),
      kind_(other.kind_),
      warn_(std::move(other.warn_)),
      job_(other.job_),
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
  UndoEntry entry{kind_, {}, {}, {}, {}, job_};
  for (const Pair& pair : pairs) {
    TransferItem item{{}, Trimmed(pair.source), Trimmed(pair.target)};
    const auto source = pair.source_id ? pair.source_id : platform::GetFileIdentity(item.source);
    if (!source || platform::GetFileIdentity(item.target)) continue;
    if (!IsPlainFullPath(item.source) || !IsPlainFullPath(item.target)) continue;
    const TransferItem* first = !planned_.empty()      ? &planned_.front()
                                : !entry.items.empty() ? &entry.items.front()
                                                       : nullptr;
    if (first != nullptr && !SameDirectory(first->target, item.target)) continue;
    const std::size_t bytes = TransferItemBytes(item);
    if (bytes_ + bytes + kTransferLineHeadBytes > kMaxTransferLineBytes) {
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
  // The one wait on the disk of the job: no file is copied or moved before its line is there.
  if (!history_.Record(entry, true)) {
    WarnOnce("> Warning: the undo history \"" + history_.path() + "\" can not be written; this " +
             Noun(kind_) + " can not be undone");
    return;
  }
  planned_.insert(planned_.end(), std::make_move_iterator(entry.items.begin()),
                  std::make_move_iterator(entry.items.end()));
}

void TransferRecord::Finish() {
  if (planned_.empty()) return;
  std::vector<TransferItem> made;
  for (const TransferItem& item : planned_) {
    if (auto m = Made(kind_, item)) made.push_back(std::move(*m));
  }
  // Not waited for on the disk: should this line be lost, the job's planned lines stand for it,
  // and they are safe on their own. Undo then takes each target by the source's size and time,
  // which a copy gives its target and a moved file keeps, leaves what is not there or differs
  // (a directory moved to another parent may have a new time: left, never mistaken) and never
  // replaces; what is lost is only the match by identity and the dropping of the files never
  // made. The line goes in one write, so a crash of the program cannot cut it; one of the
  // system may, and a cut last line is not read.
  history_.RecordMade(job_, made);
  planned_.clear();
}

}  // namespace tools
