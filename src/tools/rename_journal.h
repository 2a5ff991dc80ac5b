#pragma once

// The rename journal in the settings directory: every rename of a batch run is recorded before it
// is done, so that the run can be taken back, also after a restart. It keeps many runs, each
// under an id of its own, and the newest ones when it grows too large.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/rename_journal_rules.h"

namespace platform {
class AppendFile;
}

namespace tools {

class RenameJournal {
 public:
  explicit RenameJournal(std::string path);
  ~RenameJournal();

  // Records a new run: that each pair's file, of the identity given, is about to be renamed
  // from its old path to its new path, in one write that is on the disk before it returns. A
  // run that renames nothing leaves the journal as it was. False when the journal cannot be
  // written.
  bool Intend(std::vector<JournalPair> pairs);
  // The run's id, once Intend recorded it.
  const std::string& run_id() const { return run_id_; }
  // The older runs Intend let go to keep the journal within its size.
  std::size_t runs_let_go() const { return runs_let_go_; }
  // The rename of pair `index` happened / did not happen.
  void Done(std::size_t index);
  void Failed(std::size_t index);
  // After the last rename: puts the renamed directories' entries on the disk (once for the run),
  // then records that the run is over, with every mark before it. A run that is never finished
  // (a crash) is told apart by what is on the disk when it is taken back.
  void Finish();

  // Every run recorded in the file (none when there is no file); nothing when it cannot be read.
  static std::optional<Journal> Load(const std::string& path);
  // Marks run `run` as taken back.
  static bool MarkUndone(const std::string& path, const std::string& run);
  // Makes run `run` hold only the renamed pairs that are still to be taken back.
  static bool Keep(const std::string& path, const std::string& run,
                   const std::vector<JournalPair>& pairs);

 private:
  static constexpr std::size_t kMarksPerWrite = 4096;  // bytes of marks gathered per write
  void Mark(const std::string& line);
  void Flush();

  std::string path_;
  std::string run_id_;
  std::size_t runs_let_go_ = 0;
  std::string marks_;           // marks not yet written
  bool marks_lost_ = false;     // marks that could not be written: the run is never called over
  std::set<std::string> dirs_;  // the directories the run renames in
  std::unique_ptr<platform::AppendFile> file_;
};

}  // namespace tools
