#include "app/file_op_rules.h"

#include "app/listing_rules.h"
#include "platform/paths.h"

namespace app {

bool IsDirectoryEntry(std::string_view entry) {
  return !entry.empty() && entry.back() == platform::kPathDelim;
}

std::string EntryPath(std::string_view base, std::string_view entry) {
  if (IsSearchResultsPath(base)) return std::string(entry);
  return std::string(base) + std::string(entry);
}

DeletionPlan PlanDeletion(std::string_view base, const std::vector<std::string>& entries,
                          const std::vector<int>& rows) {
  DeletionPlan plan;
  for (int row : rows) {
    if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) continue;
    const std::string& entry = entries[static_cast<std::size_t>(row)];
    if (IsDirectoryEntry(entry)) {
      ++plan.skipped_directories;
    } else {
      plan.files.push_back(EntryPath(base, entry));
    }
  }
  return plan;
}

std::string SkippedDirectoriesLine(std::size_t count) {
  return "> Warning: Directories are not deleted, skipped: " + std::to_string(count);
}

std::string RenameTarget(std::string_view source, std::string_view name) {
  return platform::DirName(source) + std::string(name);
}

}  // namespace app
