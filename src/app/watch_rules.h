#pragma once

// How the changes reported for watched directories become changes of the lists that show them:
// a burst of events is reduced to what differs at its end, per directory, and a burst too large
// to apply entry by entry becomes one new listing.

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/dir_watch.h"

namespace app {

// The entries of one directory that changed, named as the file list shows them (a directory
// with the delimiter after its name).
struct DirChanges {
  bool relist = false;  // too many changes, lost events or the directory gone: list it again
  bool gone = false;    // the directory itself was deleted or moved away
  std::vector<std::string> added;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> renamed;  // old entry, new entry
  std::vector<std::string> changed;                          // size, time or mode
};

// Reduces `events`, in the order they were read, to the changes of each watch id. For each
// entry only the end state counts: created then deleted is removed, deleted then created is
// added, written after it was created is still added. A rename whose two halves fall in the
// same directory and are both its entries' last events is kept as a rename, so the list can keep
// the entry's place, cursor and selection. Once a directory has more than `threshold` changed
// entries, or the kernel lost events, the directory is to be listed again instead; each list
// then only holds what it had when that was decided.
std::map<int, DirChanges> CoalesceEvents(const std::vector<platform::WatchEvent>& events,
                                         std::size_t threshold);

// The number of entries a DirChanges would touch one by one.
std::size_t ChangeCount(const DirChanges& changes);

}  // namespace app
