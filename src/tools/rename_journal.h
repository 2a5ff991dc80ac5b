#pragma once

// The rename journal in the program directory: every rename of a batch run is recorded before it
// is done, so that "Undo last run" can take the run back, also after a restart.

#include <memory>
#include <optional>
#include <string>

#include "tools/rename_journal_rules.h"

namespace platform {
class AppendFile;
}

namespace tools {

class RenameJournal {
 public:
  explicit RenameJournal(std::string path);
  ~RenameJournal();

  // Records that `old_path` is about to be renamed to `new_path`. The first record of a run
  // replaces the previous run, so a run that renames nothing leaves the journal as it was.
  // False when the journal cannot be written.
  bool Record(const std::string& old_path, const std::string& new_path);
  // The rename recorded last did not happen.
  void Failed();

  // The last run recorded in the file, if any.
  static std::optional<JournalRun> LoadLastRun(const std::string& path);
  // Marks the last run as taken back.
  static bool MarkUndone(const std::string& path);

 private:
  std::string path_;
  std::unique_ptr<platform::AppendFile> file_;
};

}  // namespace tools
