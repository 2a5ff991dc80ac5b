#include "app/listing_rules.h"

#include <optional>
#include <utility>

#include "console/command_rules.h"
#include "platform/enumerate.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace app {

bool IsSearchResultsPath(std::string_view text) {
  return console::UpperAscii(text) == kSearchResultsName;
}

std::string ParentPath(std::string_view path) {
  if (platform::IsRootDir(path) || !platform::EndsWithDelim(path)) return std::string(path);
  std::string_view rest = path.substr(0, path.size() - 1);
  const std::size_t delim = rest.rfind(platform::kPathDelim);
  if (delim == std::string_view::npos) return std::string(path);
  return std::string(rest.substr(0, delim + 1));
}

std::string TreeDirToPath(std::string_view tree_dir) {
  std::string path(tree_dir);
  if (!platform::IsRootDir(path)) path += platform::kPathDelim;
  return path;
}

bool MaskHoldsDelimiter(std::string_view mask) {
  return mask.find(platform::kPathDelim) != std::string_view::npos;
}

std::string MaskDelimiterError(std::string_view mask) {
  return "> Error: Mask \"" + std::string(mask) + "\" holds \"" + platform::kPathDelim +
         "\": a mask selects entries of the listed directory only";
}

namespace {
int ListingGroup(std::string_view entry) {
  if (entry == "../") return 0;
  return platform::EndsWithDelim(entry) ? 1 : 2;
}
}  // namespace

bool ListingGroupBefore(std::string_view a, std::string_view b) {
  return ListingGroup(a) < ListingGroup(b);
}

bool ListingShows(std::string_view name, std::string_view mask) {
  return !name.empty() && name.front() != '.' && !MaskHoldsDelimiter(mask) &&
         platform::MatchListingPattern(name, mask);
}

namespace {

// The listing of FillFileList, sorted in `order` or, with none, left as the directory gives it.
std::size_t ListEntries(const std::string& path, const std::string& mask,
                        std::vector<std::string>& entries, const std::function<void()>& each_entry,
                        const EntryOrder* order, const SortRunner& run_sort) {
  if (MaskHoldsDelimiter(mask)) return 0;
  std::vector<std::string> listed;
  std::vector<EntryFacts> facts;
  // With the final delimiter the entry's own type says whether path + name is a directory;
  // without it path + name is another path altogether and has to be looked up.
  const bool joined_is_entry = platform::EndsWithDelim(path);
  std::size_t found = 0;
  platform::EnumOptions options;
  options.details = order != nullptr && order->NeedsFacts();
  // A long directory is sorted piece by piece while the rest of it is still being read.
  std::optional<PieceSorter> sorter;
  if (order != nullptr) sorter.emplace(*order);
  platform::EnumerateEntries(path + mask, options, [&](const platform::DirEntry& entry) {
    if (entry.name == ".") return;
    ++found;
    const bool is_dir =
        joined_is_entry ? entry.is_dir : platform::DirectoryExists(path + entry.name);
    listed.push_back(is_dir ? entry.name + platform::kPathDelim : entry.name);
    if (options.details) facts.push_back({entry.size, entry.mtime});
    if (sorter && listed.size() == sorter->NextPieceSize()) {
      sorter->Add(std::exchange(listed, {}), std::exchange(facts, {}));
    }
    if (each_entry) each_entry();
  });
  if (sorter) {
    // The order puts the parent first, then the directories, then the files.
    const auto sort = [&] { listed = sorter->Finish(std::move(listed), std::move(facts)); };
    if (run_sort) {
      run_sort(sort);
    } else {
      sort();
    }
  }
  if (entries.empty()) {
    entries = std::move(listed);
  } else {
    entries.reserve(entries.size() + listed.size());
    for (auto& e : listed) entries.push_back(std::move(e));
  }
  return found;
}

}  // namespace

std::size_t FillFileList(const std::string& path, const std::string& mask,
                         std::vector<std::string>& entries, const std::function<void()>& each_entry,
                         const EntryOrder& order, const SortRunner& run_sort) {
  return ListEntries(path, mask, entries, each_entry, &order, run_sort);
}

std::size_t ListUnsorted(const std::string& path, const std::string& mask,
                         std::vector<std::string>& entries,
                         const std::function<void()>& each_entry) {
  return ListEntries(path, mask, entries, each_entry, nullptr, {});
}

}  // namespace app
