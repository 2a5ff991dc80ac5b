#pragma once

// A breadth-first walk over a directory tree: every file of a directory is reported before any
// file of the directories below it, level by level. Links to directories are not followed (nor
// reported), so a link loop cannot make the walk endless; a directory that cannot be listed is
// skipped and counted, and the walk goes on.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

struct WalkCallbacks {
  // Called before each directory is listed, with its path ending in the delimiter; false stops.
  std::function<bool(std::string_view dir)> enter;
  // Called for every entry that is not a directory (hidden ones too; a link to a file and a
  // dangling link count as files), with the directory's path and the entry's name as bytes.
  // False stops the walk.
  std::function<bool(std::string_view dir, std::string_view name)> file;
};

struct WalkSummary {
  std::size_t listed = 0;   // directories listed
  std::size_t skipped = 0;  // directories that could not be listed
  bool stopped = false;     // a callback asked to stop
};

// Walks `start` (the delimiter is added when it does not end in one) and everything below it.
// Entries come in the order the file system reports them; subdirectories are listed in the
// order they were found. Either callback may be left empty.
WalkSummary WalkBreadthFirst(std::string_view start, const WalkCallbacks& callbacks);

// True while anything stands at `path`: a file, a directory, or a link (even a dangling one),
// which is what a walk may have reported there.
bool EntryExists(const std::string& path);

}  // namespace platform
