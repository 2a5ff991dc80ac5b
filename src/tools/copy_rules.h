#pragma once

// Paths and texts of the copy windows, as plain functions.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace copying {

// `dir` and `name` joined by one delimiter (none is added after a directory that ends in it);
// an empty `dir` is the root.
std::string JoinPath(std::string_view dir, std::string_view name);

// The file an entry of the main list stands for: a full path (an entry of the search results)
// as it is, any other name inside `current_dir`.
std::string SourcePath(std::string_view current_dir, std::string_view entry);

// "3 of 10 files, 1.5 MB of 20.0 MB": how far a copy run is.
std::string ProgressText(int files_done, int files_total, std::int64_t bytes_done,
                         std::int64_t bytes_total);

// The console lines of an entry that is no regular file (left out), and of a copy stopped
// half-way, whose partial target was removed.
std::string SkippedLine(std::string_view source);
std::string StoppedLine(std::string_view target);

// The failures of a run over `files` files, for the window: "2 of 5 files were not copied:"
// and the failures' lines.
std::string FailuresText(const std::vector<std::string>& failures, int files);

// Bytes done as thousandths of the total (1000 when there is nothing to copy).
int Permille(std::int64_t done, std::int64_t total);

}  // namespace copying
