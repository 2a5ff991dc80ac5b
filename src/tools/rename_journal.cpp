#include "tools/rename_journal.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/random_id.h"
#include "platform/text_file.h"

namespace tools {

namespace {

// An id no other run of this or another instance of the program takes.
std::string NewRunId() {
  const std::uint64_t bits = platform::RandomId();
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  for (int shift = 60; shift >= 0; shift -= 4) id += kHex[(bits >> shift) & 15];
  return id;
}

// Adds `addition` to the journal, on the disk before it returns: appended and synced, or the
// journal written anew (atomically) when it has to be cut down or was damaged. `let_go`, when
// given, receives the number of runs the journal no longer holds.
bool AddToJournal(const std::string& path, const std::string& addition,
                  std::size_t* let_go = nullptr) {
  // A journal too large to be read back (one run of a great many files) can take back nothing
  // of what it holds: it is let go as a damaged one is, rather than refuse every run after it.
  const auto id = platform::GetFileIdentity(path);
  std::optional<std::string> current;
  if (platform::IsFileDirOrLink(path) && !(id && id->size > platform::kMaxWholeFileSize)) {
    current = platform::ReadWholeFile(path);
    if (!current) return false;
  }
  const JournalWrite write = PlanJournalWrite(current, addition, kMaxJournalBytes);
  if (let_go != nullptr) *let_go = write.runs_let_go;
  if (!write.whole) {
    platform::AppendFile file(path);
    return file.Append(write.text) && file.Sync();
  }
  try {
    platform::WriteFileAtomic(path, write.text);  // synced before it is put in place
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

}  // namespace

RenameJournal::RenameJournal(std::string path) : path_(std::move(path)) {}

RenameJournal::~RenameJournal() {
  Flush();
}

bool RenameJournal::Intend(std::vector<JournalPair> pairs) {
  if (pairs.empty()) return true;
  JournalRun run;
  run.id = NewRunId();
  std::string last_dir;  // most runs rename in one directory
  for (const JournalPair& pair : pairs) {
    std::string dir = platform::DirName(pair.old_path);
    if (dir == last_dir) continue;
    dirs_.insert(dir);
    last_dir = std::move(dir);
  }
  run.pairs = std::move(pairs);
  if (!AddToJournal(path_, JournalRunText(run), &runs_let_go_)) return false;
  run_id_ = std::move(run.id);
  file_ = std::make_unique<platform::AppendFile>(path_);
  return true;
}

// The marks need no sync, nor a write of their own: a pair without one is checked on the disk
// by the undo, so they are gathered and written a few hundred at a time.
void RenameJournal::Done(std::size_t index) {
  Mark(JournalDoneLine(index, run_id_));
}

void RenameJournal::Failed(std::size_t index) {
  Mark(JournalFailedLine(index, run_id_));
}

void RenameJournal::Mark(const std::string& line) {
  if (!file_) return;
  marks_ += line;
  if (marks_.size() >= kMarksPerWrite) Flush();
}

void RenameJournal::Finish() {
  // The renames are on the disk before the record that says so.
  bool synced = true;
  for (const std::string& dir : dirs_) synced = platform::SyncDirectory(dir) && synced;
  dirs_.clear();
  if (!file_) return;
  const bool end = synced && !marks_lost_;
  if (end) marks_ += JournalEndLine(run_id_);
  Flush();
  if (end) file_->Sync();
  file_.reset();
}

void RenameJournal::Flush() {
  if (file_ && !marks_.empty() && !file_->Append(marks_)) marks_lost_ = true;
  marks_.clear();
}

std::optional<Journal> RenameJournal::Load(const std::string& path) {
  if (!platform::IsFileDirOrLink(path)) return Journal{};
  const auto text = platform::ReadWholeFile(path);
  if (!text) return std::nullopt;
  return ParseJournal(*text);
}

bool RenameJournal::MarkUndone(const std::string& path, const std::string& run) {
  return AddToJournal(path, JournalUndoneLine(run));
}

bool RenameJournal::Keep(const std::string& path, const std::string& run,
                         const std::vector<JournalPair>& pairs) {
  JournalRun kept;
  kept.id = run;
  kept.complete = true;
  for (JournalPair pair : pairs) {
    pair.state = PairState::kDone;
    kept.pairs.push_back(std::move(pair));
  }
  // A run without an id cannot be started anew under the same name: it is marked undone and its
  // pairs left follow as the last run without an id.
  const std::string undone_before = run.empty() ? JournalUndoneLine() : std::string();
  return AddToJournal(path, undone_before + JournalRunText(kept));
}

}  // namespace tools
