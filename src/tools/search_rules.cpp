#include "tools/search_rules.h"

#include <algorithm>
#include <thread>

#include "app/entry_order_rules.h"
#include "platform/paths.h"
#include "platform/tree_walk.h"
#include "tools/mask_rules.h"

namespace tools {

namespace {

// A directory's files come in the file system's order; they are put in the file list's name
// order, with each name's sort key computed once.
void SortNames(const app::EntryOrder& order, std::vector<std::string_view>& names) {
  if (names.size() < 2) return;
  std::vector<std::pair<app::EntryOrder::Key, std::string_view>> keyed;
  keyed.reserve(names.size());
  for (const std::string_view name : names) keyed.emplace_back(order.MakeKey(name), name);
  std::sort(keyed.begin(), keyed.end(),
            [&](const auto& a, const auto& b) { return order.Less(a.first, b.first); });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = keyed[i].second;
}

}  // namespace

SearchOutcome SearchFiles(std::string_view start, std::string_view mask,
                          std::vector<std::string>& found,
                          const std::function<bool(std::string_view dir)>& keep_going,
                          unsigned threads) {
  // One more than the cores: a thread waiting for a directory block from the disk, or for the
  // queue, leaves no core idle.
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency()) + 1;
  SearchOutcome outcome;
  if (start.empty()) {
    outcome.error = "no directory to search in";
    return outcome;
  }
  const auto compiled = Mask::Compile(mask, &outcome.error);
  if (!compiled) return outcome;
  const bool every_file = mask == kEveryFileMask;

  const app::EntryOrder order;
  platform::WalkCallbacks callbacks;
  if (keep_going) {
    callbacks.enter = keep_going;
    callbacks.idle = [&] { return keep_going({}); };
  }
  // The files of one directory come here as one batch, in the order the file system lists them,
  // on whichever thread listed the directory: the mask is applied here, and this is where the
  // order in which a directory's files are found is set.
  callbacks.select = [&](std::vector<std::string_view>& names) {
    if (!every_file) {
      std::erase_if(names, [&](std::string_view name) { return !compiled->Matches(name); });
    }
    SortNames(order, names);
  };
  callbacks.file = [&](std::string_view dir, std::string_view name) {
    // Grow by half rather than doubling: the list is most of the search's memory.
    if (found.size() == found.capacity()) found.reserve(found.size() + found.size() / 2 + 64);
    std::string& path = found.emplace_back();
    path.reserve(dir.size() + name.size());
    path.append(dir).append(name);
    return !keep_going || keep_going(dir);
  };
  const platform::WalkSummary summary = platform::WalkBreadthFirst(start, callbacks, threads);
  outcome.skipped = summary.skipped;
  outcome.stopped = summary.stopped;
  return outcome;
}

}  // namespace tools
