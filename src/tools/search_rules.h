#pragma once

// The file search: every file below a directory whose name matches a mask, as full paths in the
// order of a breadth-first walk.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// The mask that finds every file, whatever its name (the mask rules alone would want a dot).
inline constexpr std::string_view kEveryFileMask = "*.*";

struct SearchOutcome {
  std::string error;        // why nothing was searched (a refused mask, no start directory)
  std::size_t skipped = 0;  // directories that could not be listed
  bool stopped = false;     // `keep_going` asked to stop; `found` holds what was found so far
};

// Appends to `found` the path of every file below `start` (itself included) whose name matches
// `mask`: the start directory with the delimiter added when it lacks one, the subdirectories
// leading to the file, each with the delimiter, and the name as the file system reports it.
// Hidden files count; links to directories are not followed. `keep_going`, when given, is
// called with the directory at hand for every directory and every file found, and every few
// milliseconds (with "") while the search waits, so that a caller can show progress and stop the
// search by returning false; it runs on the calling thread. `threads` list the directories ahead
// (0: one more than the cores); the order found is the same for any number.
SearchOutcome SearchFiles(std::string_view start, std::string_view mask,
                          std::vector<std::string>& found,
                          const std::function<bool(std::string_view dir)>& keep_going = {},
                          unsigned threads = 0);

}  // namespace tools
