#pragma once

// Renames entries within one directory through one descriptor of it, so that a run of thousands
// of renames walks the directory's path once instead of three times per entry.

#include <string>

#include "platform/unique_fd.h"

namespace platform {

class DirRenamer {
 public:
  // `dir` names the directory (as JoinPath takes it). A directory that cannot be opened leaves
  // every rename to MoveFileNoReplace, which reports the failure.
  explicit DirRenamer(std::string dir);

  // Renames the entry `old_name` of the directory to `new_name` with the guarantees of
  // MoveFileNoReplace: never over an existing entry, and only files, directories and links.
  // False when nothing was renamed.
  bool Rename(const std::string& old_name, const std::string& new_name);
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  Fd fd_;
};

}  // namespace platform
