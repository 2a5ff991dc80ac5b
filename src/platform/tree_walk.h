#pragma once

// A breadth-first walk over a directory tree: every file of a directory is reported before any
// file of the directories below it, level by level. Links to directories are not followed (nor
// reported), so a link loop cannot make the walk endless; a directory that cannot be listed is
// skipped and counted, and the walk goes on. Directories are opened relative to the start's
// handle, so the depth of the tree and the length of its paths are no limit.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct WalkCallbacks {
  // Called for each directory, with its path ending in the delimiter, before its files; false
  // stops. Walking alone, it comes before the directory is listed; with helper threads the
  // listing may already have been made.
  std::function<bool(std::string_view dir)> enter;
  // Called for every entry that is not a directory (hidden ones too; a link to a file and a
  // dangling link count as files) that `select` kept, with the directory's path and the entry's
  // name as bytes. False stops the walk.
  std::function<bool(std::string_view dir, std::string_view name)> file;
  // Receives the names of the files of one directory, as the file system lists them, and drops
  // those not wanted and puts the rest in the order `file` is to see them. It may run on any of
  // the walk's threads, several at a time, so it must not touch shared state. Empty: every file,
  // in the file system's order.
  std::function<void(std::vector<std::string_view>& names)> select;
  // Called every few milliseconds while the walk waits for its helper threads; false stops.
  std::function<bool()> idle;
};

struct WalkSummary {
  std::size_t listed = 0;   // directories listed
  std::size_t skipped = 0;  // directories that could not be listed
  bool stopped = false;     // a callback asked to stop
};

// Walks `start` (the delimiter is added when it does not end in one) and everything below it.
// Subdirectories are listed in the order they were found. With `threads` above one, that many
// helper threads list the directories ahead of the callbacks, which still run on the calling
// thread, in the same order as a walk alone. Any callback may be left empty.
WalkSummary WalkBreadthFirst(std::string_view start, const WalkCallbacks& callbacks,
                             unsigned threads = 1);

// True while anything stands at `path`: a file, a directory, or a link (even a dangling one),
// which is what a walk may have reported there.
bool EntryExists(const std::string& path);

}  // namespace platform
