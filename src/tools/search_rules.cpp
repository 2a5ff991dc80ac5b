#include "tools/search_rules.h"

#include <algorithm>

#include "app/entry_order_rules.h"
#include "platform/paths.h"
#include "platform/tree_walk.h"
#include "tools/mask_rules.h"

namespace tools {

namespace {

// The walk finds each directory's files together, in the file system's order; each such run
// is put in the file list's name order.
void SortWithinDirectories(std::vector<std::string>& found, std::size_t from) {
  const app::EntryOrder order;
  std::vector<std::pair<app::EntryOrder::Key, std::string>> run;
  for (std::size_t begin = from; begin < found.size();) {
    const std::string_view dir = FoundFileDir(found[begin]);
    std::size_t end = begin + 1;
    while (end < found.size() && FoundFileDir(found[end]) == dir) ++end;
    run.clear();
    for (std::size_t i = begin; i < end; ++i) {
      run.emplace_back(order.MakeKey(found[i]), std::move(found[i]));
    }
    std::sort(run.begin(), run.end(),
              [&](const auto& a, const auto& b) { return order.Less(a.first, b.first); });
    for (std::size_t i = begin; i < end; ++i) found[i] = std::move(run[i - begin].second);
    begin = end;
  }
}

}  // namespace

SearchOutcome SearchFiles(std::string_view start, std::string_view mask,
                          std::vector<std::string>& found,
                          const std::function<bool(std::string_view dir)>& keep_going) {
  SearchOutcome outcome;
  if (start.empty()) {
    outcome.error = "no directory to search in";
    return outcome;
  }
  const auto compiled = Mask::Compile(mask, &outcome.error);
  if (!compiled) return outcome;
  const bool every_file = mask == kEveryFileMask;

  platform::WalkCallbacks callbacks;
  if (keep_going) callbacks.enter = keep_going;
  callbacks.file = [&](std::string_view dir, std::string_view name) {
    if (every_file || compiled->Matches(name)) {
      // Grow by half rather than doubling: the list is most of the search's memory.
      if (found.size() == found.capacity()) found.reserve(found.size() + found.size() / 2 + 64);
      std::string& path = found.emplace_back();
      path.reserve(dir.size() + name.size());
      path.append(dir).append(name);
    }
    return !keep_going || keep_going(dir);
  };
  const std::size_t first = found.size();
  const platform::WalkSummary summary = platform::WalkBreadthFirst(start, callbacks);
  SortWithinDirectories(found, first);
  outcome.skipped = summary.skipped;
  outcome.stopped = summary.stopped;
  return outcome;
}

std::string_view FoundFileDir(std::string_view path) {
  const std::size_t slash = path.rfind(platform::kPathDelim);
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace tools
