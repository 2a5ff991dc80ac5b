#include "tools/rename_journal.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"

namespace tools {

namespace {

bool WriteRun(const std::string& path, const std::string& text) {
  try {
    platform::WriteFileAtomic(path, text);  // synced before it is put in place
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

bool RenameJournal::Intend(const std::vector<std::pair<std::string, std::string>>& pairs) {
  if (pairs.empty()) return true;
  std::string text = JournalRunLine();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    JournalPair pair;
    pair.old_path = pairs[i].first;
    pair.new_path = pairs[i].second;
    dirs_.insert(pair.old_path.substr(0, pair.old_path.rfind('/') + 1));
    if (const auto id = platform::GetFileIdentity(pair.old_path)) pair.id = *id;
    text += JournalPairLine(i, pair);
  }
  if (!WriteRun(path_, text)) return false;
  file_ = std::make_unique<platform::AppendFile>(path_);
  return true;
}

// The marks need no sync, nor a write of their own: a pair without one is checked on the disk
// by the undo, so they are gathered and written a few hundred at a time.
void RenameJournal::Done(std::size_t index) {
  Mark(JournalDoneLine(index));
}

void RenameJournal::Failed(std::size_t index) {
  Mark(JournalFailedLine(index));
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
  if (end) marks_ += JournalEndLine();
  Flush();
  if (end) file_->Sync();
  file_.reset();
}

void RenameJournal::Flush() {
  if (file_ && !marks_.empty() && !file_->Append(marks_)) marks_lost_ = true;
  marks_.clear();
}

std::optional<JournalRun> RenameJournal::LoadLastRun(const std::string& path) {
  const auto text = platform::ReadWholeFile(path);
  if (!text) return std::nullopt;
  return LastJournalRun(*text);
}

bool RenameJournal::MarkUndone(const std::string& path) {
  return platform::AppendFile(path).Append(JournalUndoneLine());
}

bool RenameJournal::Keep(const std::string& path, const std::vector<JournalPair>& pairs) {
  std::string text = JournalRunLine();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    JournalPair pair = pairs[i];
    text += JournalPairLine(i, pair) + JournalDoneLine(i);
  }
  return WriteRun(path, text);
}

}  // namespace tools
