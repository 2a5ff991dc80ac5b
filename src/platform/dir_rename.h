#pragma once

// Renames entries within one directory through one descriptor of it, so that a run of thousands
// of renames walks the directory's path once instead of three times per entry.

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_identity.h"
#include "platform/unique_fd.h"

namespace platform {

class DirRenamer {
 public:
  // `dir` names the directory (as JoinPath takes it). A directory that cannot be opened leaves
  // every rename to MoveFileNoReplace, which reports the failure.
  explicit DirRenamer(std::string dir);
  ~DirRenamer();
  DirRenamer(const DirRenamer&) = delete;
  DirRenamer& operator=(const DirRenamer&) = delete;

  // The identity of the entry `name`, or nothing when there is no such entry or it is not one
  // Rename takes.
  std::optional<FileIdentity> Identify(const std::string& name) const;

  // Looks up `names`, the names about to be taken, on a thread of its own while the caller
  // prepares the run, so that the renames find the directory's answers ready. Only reads.
  void LookUpAhead(std::vector<std::string> names);

  // Renames the entry `old_name` of the directory to `new_name` with the guarantees of
  // MoveFileNoReplace: never over an existing entry, and only files, directories and links.
  // `identified`: Identify has just found the entry to be one of those, so it is not looked at
  // again. False when nothing was renamed.
  bool Rename(const std::string& old_name, const std::string& new_name, bool identified = false);
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  Fd fd_;
  std::thread look_up_;  // LookUpAhead's thread, joined before the first rename
};

}  // namespace platform
