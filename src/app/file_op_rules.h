#pragma once

// Which files the main window's file operations touch, as plain functions of the listed entries.

#include <string>
#include <string_view>
#include <vector>

namespace app {

// True for an entry that names a directory: it ends in the delimiter ("../" included). The file
// operations never delete or rename these.
bool IsDirectoryEntry(std::string_view entry);

// The path of an entry listed from `base`. Search results are listed as full paths, so while the
// base names the search-results pseudo-directory (or is empty, as the listed directory is then),
// the entry is the path itself.
std::string EntryPath(std::string_view base, std::string_view entry);

// The files a deletion of the chosen entries removes, in list order, and how many chosen entries
// were directories and are left alone.
struct DeletionPlan {
  std::vector<std::string> files;
  std::size_t skipped_directories = 0;
};
DeletionPlan PlanDeletion(std::string_view base, const std::vector<std::string>& entries,
                          const std::vector<int>& rows);

// The console line that tells how many chosen directories a deletion left alone.
std::string SkippedDirectoriesLine(std::size_t count);

// The new path of a file renamed to `name`: the name in the file's own directory.
std::string RenameTarget(std::string_view source, std::string_view name);

}  // namespace app
