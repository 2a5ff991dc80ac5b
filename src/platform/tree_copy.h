#pragma once

// Whole entries copied or moved to a free name: a file, a symbolic link (the link itself, never
// what it points to) or a directory with everything below it. Nothing that exists is replaced:
// every file, link and directory of the copy is created new, and the copy fails where a name is
// taken. A copy that fails or is stopped takes back everything it made, so neither a partial file
// nor half a tree is left behind.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// What an entry holds: its files (a link counts as one) and the bytes of its regular files.
struct TreeSize {
  std::int64_t files = 0;
  std::int64_t bytes = 0;
};

// Adds up `path` and everything below it, links not followed. `keep_going` is asked between
// entries; when it returns false the sum so far is returned.
TreeSize MeasureTree(const std::string& path, const std::function<bool()>& keep_going);

// Hears the files and bytes done so far in one call, during and after each file; false stops.
using TreeProgress = std::function<bool(std::int64_t files, std::int64_t bytes)>;

enum class TreeOutcome {
  kDone,
  kFailed,   // nothing is left at the target
  kStopped,  // the progress asked to stop; nothing is left at the target
  // A move across file systems copied the whole tree, but the source stays, whole or in part:
  // something in it was skipped or could not be removed. Both places together hold every file.
  kSourceKept,
};

struct TreeResult {
  TreeOutcome outcome = TreeOutcome::kDone;
  // Entries that are neither file, directory nor link (named pipes, sockets, devices): never
  // opened, left out of the copy.
  std::vector<std::string> skipped;
};

// Copies `src` to `dst`, which must not exist. Mode bits and times are kept where the target
// can hold them.
TreeResult CopyTree(const std::string& src, const std::string& dst, const TreeProgress& progress);

// Moves `src` to `dst`, which must not exist: a rename within a file system; across file systems
// a copy that waits for the disk, after which the source is removed only when the whole tree was
// copied.
TreeResult MoveTree(const std::string& src, const std::string& dst, const TreeProgress& progress);

// True when the directory `dir` is the directory `tree` or lies below it, links resolved: a copy
// of `tree` into `dir` would copy itself. False when `tree` is not a directory (a link to one is
// copied as a link) or either path cannot be resolved.
bool IsWithinTree(const std::string& dir, const std::string& tree);

}  // namespace platform
