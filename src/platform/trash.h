#pragma once

// The desktop trash shared with the other file managers: a file is moved into the trash of its
// own file system, beside an info file that tells where it came from, so that any of them can
// list it and put it back. The home trash is $XDG_DATA_HOME/Trash (~/.local/share/Trash); a file
// on another file system goes to $topdir/.Trash/$uid or $topdir/.Trash-$uid there. Nothing is
// ever copied between file systems and nothing in the trash is ever replaced.

#include <functional>
#include <string>

namespace platform {

enum class TrashOutcome {
  kTrashed,  // the file is in the trash
  kNoTrash,  // no trash can take the file (none can be made, refused, full disk); it stays
  kFailed,   // the file itself cannot be moved (missing, no permission); it stays
};

struct TrashResult {
  TrashOutcome outcome = TrashOutcome::kFailed;
  std::string trashed;  // the file's path inside the trash's files/
  std::string info;     // its info file's path
  std::string why;      // for kNoTrash and kFailed: what went wrong
};

// Called once the trash name is reserved (the info file is written) and before the file moves.
using BeforeTrashMove = std::function<void(const std::string& trashed, const std::string& info)>;

// Moves the file, link or directory at `path` into the trash of its file system. Where no trash
// can be used the file stays where it is and no info file is left behind.
TrashResult MoveToTrash(const std::string& path, const BeforeTrashMove& before = {});

// Puts a trashed file back at `original` and removes its info file; never replaces anything at
// `original`. False when the file cannot be put back.
bool RestoreFromTrash(const std::string& trashed, const std::string& info,
                      const std::string& original);

// The home trash directory from the environment, or "" when there is no home.
std::string HomeTrashDir();

}  // namespace platform
