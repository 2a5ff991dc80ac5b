#include "tools/rename_journal.h"

#include <stdexcept>

#include "platform/append_file.h"
#include "platform/file_ops.h"

namespace tools {

RenameJournal::RenameJournal(std::string path) : path_(std::move(path)) {}

RenameJournal::~RenameJournal() = default;

bool RenameJournal::Record(const std::string& old_path, const std::string& new_path) {
  if (!file_) {
    try {
      platform::WriteFileAtomic(path_, JournalRunLine());
    } catch (const std::runtime_error&) {
      return false;
    }
    file_ = std::make_unique<platform::AppendFile>(path_);
  }
  JournalPair pair{0, 0, old_path, new_path};
  if (const auto id = platform::GetEntryId(old_path)) {
    pair.device = id->device;
    pair.inode = id->inode;
  }
  return file_->Append(JournalPairLine(pair));
}

void RenameJournal::Failed() {
  if (file_) file_->Append(JournalFailedLine());
}

std::optional<JournalRun> RenameJournal::LoadLastRun(const std::string& path) {
  const auto text = platform::ReadWholeFile(path);
  if (!text) return std::nullopt;
  return LastJournalRun(*text);
}

bool RenameJournal::MarkUndone(const std::string& path) {
  return platform::AppendFile(path).Append(JournalUndoneLine());
}

}  // namespace tools
