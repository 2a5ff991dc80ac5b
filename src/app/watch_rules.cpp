#include "app/watch_rules.h"

#include <algorithm>
#include <unordered_map>

#include "platform/paths.h"

namespace app {

namespace {

using platform::WatchEvent;
using platform::WatchEventKind;

enum class EndState { kAdded, kRemoved, kChanged };

struct EntryState {
  EndState state;
  std::size_t last;  // index of the event that set the state
};

struct MovedOut {
  int watch;
  std::string entry;
  std::size_t event;
};

struct Rename {
  std::string from, to;
  std::size_t from_event, to_event;
};

// What one directory's events come to while they are being read.
struct DirTally {
  DirChanges changes;
  std::unordered_map<std::string, EntryState> entries;
  std::vector<Rename> renames;
};

std::string EntryText(const WatchEvent& event) {
  return event.is_dir ? event.name + platform::kPathDelim : event.name;
}

void Tally(DirTally& dir, const WatchEvent& event, std::size_t index,
           std::unordered_map<std::uint32_t, MovedOut>& moved_out) {
  if (event.kind == WatchEventKind::kDirGone) {
    dir.changes.gone = dir.changes.relist = true;
    return;
  }
  std::string entry = EntryText(event);
  auto found = dir.entries.find(entry);
  switch (event.kind) {
    case WatchEventKind::kAdded:
      if (event.cookie != 0) {
        auto out = moved_out.find(event.cookie);
        // A move from another directory is a removal there and an addition here.
        if (out != moved_out.end() && out->second.watch == event.watch) {
          dir.renames.push_back({out->second.entry, entry, out->second.event, index});
        }
        if (out != moved_out.end()) moved_out.erase(out);
      }
      dir.entries.insert_or_assign(std::move(entry), EntryState{EndState::kAdded, index});
      break;
    case WatchEventKind::kRemoved:
      if (event.cookie != 0) moved_out[event.cookie] = {event.watch, entry, index};
      dir.entries.insert_or_assign(std::move(entry), EntryState{EndState::kRemoved, index});
      break;
    default:
      // A write to an entry created in this burst leaves it a new entry.
      if (found == dir.entries.end()) {
        dir.entries.emplace(std::move(entry), EntryState{EndState::kChanged, index});
      }
      break;
  }
}

void Finish(DirTally& dir) {
  DirChanges& out = dir.changes;
  if (out.relist) return;
  std::vector<std::pair<std::size_t, const std::string*>> by_order[3];
  for (const Rename& r : dir.renames) {
    auto from = dir.entries.find(r.from);
    auto to = dir.entries.find(r.to);
    // Only a rename that nothing came after stays one; an entry renamed twice was erased.
    if (from == dir.entries.end() || to == dir.entries.end() || from->second.last != r.from_event ||
        to->second.last != r.to_event || r.from == r.to) {
      continue;
    }
    out.renamed.emplace_back(r.from, r.to);
    dir.entries.erase(from);
    dir.entries.erase(to);
  }
  for (const auto& [entry, state] : dir.entries) {
    by_order[static_cast<int>(state.state)].emplace_back(state.last, &entry);
  }
  std::vector<std::string>* lists[3] = {&out.added, &out.removed, &out.changed};
  for (int i = 0; i < 3; ++i) {
    std::sort(by_order[i].begin(), by_order[i].end());
    for (const auto& item : by_order[i]) lists[i]->push_back(*item.second);
  }
}

}  // namespace

std::map<int, DirChanges> CoalesceEvents(const std::vector<WatchEvent>& events,
                                         std::size_t threshold) {
  std::map<int, DirTally> dirs;
  // The outward half of each rename still waiting for its inward half, by cookie.
  std::unordered_map<std::uint32_t, MovedOut> moved_out;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const WatchEvent& event = events[i];
    DirTally& dir = dirs[event.watch];
    if (event.kind == WatchEventKind::kOverflow) dir.changes.relist = true;
    if (dir.changes.relist) continue;
    Tally(dir, event, i, moved_out);
    if (dir.entries.size() > threshold) {
      dir.changes.relist = true;
      dir.entries.clear();
      dir.renames.clear();
    }
  }
  std::map<int, DirChanges> result;
  for (auto& [watch, dir] : dirs) {
    Finish(dir);
    result.emplace(watch, std::move(dir.changes));
  }
  return result;
}

std::size_t ChangeCount(const DirChanges& changes) {
  return changes.added.size() + changes.removed.size() + changes.renamed.size() +
         changes.changed.size();
}

}  // namespace app
