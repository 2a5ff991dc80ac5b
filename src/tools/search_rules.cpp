#include "tools/search_rules.h"

#include <algorithm>
#include <thread>

#include "platform/paths.h"
#include "platform/tree_walk.h"
#include "tools/mask_rules.h"

namespace tools {

SearchOutcome SearchFiles(std::string_view start, std::string_view mask,
                          std::vector<std::string>& found,
                          const std::function<bool(std::string_view dir)>& keep_going,
                          unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  SearchOutcome outcome;
  if (start.empty()) {
    outcome.error = "no directory to search in";
    return outcome;
  }
  const auto compiled = Mask::Compile(mask, &outcome.error);
  if (!compiled) return outcome;
  const bool every_file = mask == kEveryFileMask;

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

std::string_view FoundFileDir(std::string_view path) {
  const std::size_t slash = path.rfind(platform::kPathDelim);
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace tools
