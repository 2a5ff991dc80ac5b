#include "app/list_watch.h"

#include <QLabel>
#include <QSocketNotifier>
#include <algorithm>
#include <set>

#include "app/app.h"
#include "app/listing_rules.h"
#include "app/main_window.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/tree_walk.h"
#include "tools/search_window.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"
#include "ui/guarded_slot.h"
#include "ui/pump_events.h"

namespace {

// Search results spread over more directories than this are not followed: each directory takes
// one of the user's watches, which other programs need too.
constexpr std::size_t kMaxResultDirs = 1000;

std::string BareName(const std::string& entry) {
  return platform::EndsWithDelim(entry) ? entry.substr(0, entry.size() - 1) : entry;
}

// The entry as the list shows it now: a link to a directory is listed as a directory, which the
// event does not tell.
std::string EntryFor(const std::string& dir, const std::string& name) {
  return platform::DirectoryExists(dir + name) ? name + platform::kPathDelim : name;
}

}  // namespace

ListWatch::ListWatch(App& app, TForm1& form) : QObject(&form), app_(app), form_(form) {
  if (watch_.fd() >= 0) {
    notifier_ = new QSocketNotifier(watch_.fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
  }
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, ui::GuardedSlot(app_, this, &ListWatch::ApplyPending));
}

void ListWatch::StopAll() {
  for (const auto& [id, dir] : dirs_) watch_.Remove(id);
  dirs_.clear();
  pending_.clear();
  results_ = false;
}

int ListWatch::Watch(const std::string& dir) {
  // Batch mode shows no list: every scan reads the directory anew, and a watch would only
  // gather the script's own changes and hold up the exit while the kernel lets it go.
  if (app_.batch()) return -1;
  std::string why;
  const int id = watch_.Add(dir, &why);
  if (id < 0) {
    Warn(dir, why);
  } else {
    dirs_[id] = dir;
  }
  return id;
}

void ListWatch::Warn(const std::string& dir, const std::string& why) {
  // Said once for a directory, however often it is listed again.
  if (dir == warned_) return;
  warned_ = dir;
  form_.StatusPanel(2)->setText("Changes by other programs are not shown (" + BytesToText(why) +
                                "): F5 lists again");
}

void ListWatch::StartListing(const std::string& path) {
  held_ = true;
  const bool watched = !results_ && dirs_.size() == 1 && dirs_.begin()->second == path;
  if (watched) {
    // The changes read so far happened before the listing reads the directory: it shows them.
    pending_.clear();
    return;
  }
  StopAll();
  // A path without its final delimiter lists names of the directory above that begin with its
  // last part: no directory to follow.
  if (platform::EndsWithDelim(path)) Watch(path);
}

void ListWatch::ListingDone() {
  held_ = false;
  if (!pending_.empty()) settle_.start();
}

void ListWatch::FollowResults(const std::vector<std::string>& paths) {
  StopAll();
  results_ = true;
  std::set<std::string> dirs;
  for (const std::string& path : paths) dirs.emplace(platform::DirName(path));
  if (dirs.size() > kMaxResultDirs) {
    return Warn(app::kSearchResultsName, "found in too many directories");
  }
  for (const std::string& dir : dirs) {
    if (Watch(dir) < 0) break;
  }
}

bool ListWatch::Follows(const std::string& dir) const {
  return !results_ && std::any_of(dirs_.begin(), dirs_.end(),
                                  [&dir](const auto& watched) { return watched.second == dir; });
}

void ListWatch::Hold(bool hold) {
  held_by_caller_ = hold;
  if (!hold && !pending_.empty()) settle_.start();
}

void ListWatch::ReadEvents() {
  watch_.Read(pending_);
  // Not restarted by later events: a steady stream of changes still shows every 100 ms.
  if (!pending_.empty() && !settle_.isActive()) settle_.start();
}

void ListWatch::ApplyPending() {
  if (held_ || held_by_caller_ || applying_ || pending_.empty()) return;
  applying_ = true;
  std::vector<platform::WatchEvent> events;
  events.swap(pending_);
  const auto changes = app::CoalesceEvents(events, kBurstThreshold);
  const bool lost = changes.count(-1) > 0;
  // Applying lets events be processed; the set of watches is taken as it stands now.
  const std::map<int, std::string> dirs = dirs_;
  for (const auto& [id, dir] : dirs) {
    const auto found = changes.find(id);
    if (!lost && found == changes.end()) continue;
    app::DirChanges relist;
    relist.relist = true;
    const app::DirChanges& change = found == changes.end() ? relist : found->second;
    if (change.gone) {
      // Deleted or moved away; a directory made anew under the same name is watched again.
      watch_.Remove(id);
      dirs_.erase(id);
      if (platform::DirectoryExists(dir)) Watch(dir);
    }
    if (results_) {
      ApplyToResults(dir, change);
    } else {
      ApplyToListedDir(dir, change);
    }
  }
  applying_ = false;
  if (!pending_.empty()) settle_.start();
}

void ListWatch::ApplyToListedDir(const std::string& dir, const app::DirChanges& changes) {
  if (changes.relist) return ListAgain(dir);
  const std::string& mask = app_.FileMask;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> renamed;
  std::vector<std::string> added;
  std::vector<std::string> tree_added;
  std::vector<std::string> tree_removed;
  // The event's type may differ from the listing's (a link), so both forms of a name are meant.
  const auto remove = [&](const std::string& name) {
    removed.push_back(name);
    removed.push_back(name + platform::kPathDelim);
    tree_removed.push_back(name);
  };
  const auto add = [&](const std::string& name) {
    std::string entry = EntryFor(dir, name);
    if (platform::EndsWithDelim(entry)) tree_added.push_back(name);
    return entry;
  };
  for (const std::string& entry : changes.removed) remove(BareName(entry));
  for (const auto& [from, to] : changes.renamed) {
    const std::string old_name = BareName(from);
    const std::string new_name = BareName(to);
    if (!app::ListingShows(new_name, mask)) {
      remove(old_name);
      continue;
    }
    const std::string entry = add(new_name);
    renamed.emplace_back(old_name, entry);
    renamed.emplace_back(old_name + platform::kPathDelim, entry);
    tree_removed.push_back(old_name);
  }
  for (const std::string& entry : changes.added) {
    const std::string name = BareName(entry);
    if (app::ListingShows(name, mask)) added.push_back(add(name));
  }
  FileListModel& model = *form_.fListModel;
  model.ApplyChanges(removed, renamed, std::move(added));
  // The list shows names only; the size and date of the entry last clicked, in the status bar,
  // follow its changes.
  const int row = form_.CurrentRow();
  if (row >= 0 && app_.CurrentFile == app_.CurrentDir + model.Entry(row) &&
      std::find(changes.changed.begin(), changes.changed.end(), model.Entry(row)) !=
          changes.changed.end()) {
    form_.fListClick();
  }
  if (app::TreeDirToPath(form_.DirList->Directory()) == dir) {
    form_.DirList->SubdirsChanged(tree_added, tree_removed);
  }
  ShowCount();
}

void ListWatch::ListAgain(const std::string& dir) {
  FileListModel& model = *form_.fListModel;
  if (!platform::DirectoryExists(dir)) {
    model.Clear();
    ShowCount();
    form_.StatusPanel(1)->setText(BytesToText(dir) + ": deleted or moved away");
    return;
  }
  std::vector<std::string> entries;
  std::size_t done = 0;
  const auto slice = [&done] {
    if (++done % 256 == 0) PumpEvents(false);
  };
  // Only which names are there counts: the model puts the new ones in their places itself, so
  // the fresh listing is not sorted, which for a million names would stall the window.
  app::ListUnsorted(dir, app_.FileMask, entries, slice);
  model.Reconcile(std::move(entries), slice);
  if (app::TreeDirToPath(form_.DirList->Directory()) == dir) form_.DirList->Refresh();
  ShowCount();
}

void ListWatch::ApplyToResults(const std::string& dir, const app::DirChanges& changes) {
  if (!app_.SearchResults) return;
  std::vector<std::string>& results = *app_.SearchResults;
  std::vector<std::string> removed;
  std::vector<std::pair<std::string, std::string>> renamed;
  if (changes.relist) {
    for (const std::string& path : results) {
      if (platform::DirName(path) == dir && !platform::EntryExists(path)) removed.push_back(path);
    }
  } else {
    for (const std::string& entry : changes.removed) removed.push_back(dir + BareName(entry));
    for (const auto& [from, to] : changes.renamed) renamed.emplace_back(dir + from, dir + to);
  }
  if (removed.empty() && renamed.empty()) return;
  // Only files are found: a name that became a directory leaves the results.
  for (auto it = renamed.begin(); it != renamed.end();) {
    if (platform::EndsWithDelim(it->second)) {
      removed.push_back(it->first);
      it = renamed.erase(it);
    } else {
      ++it;
    }
  }
  const std::set<std::string> gone(removed.begin(), removed.end());
  std::erase_if(results, [&gone](const std::string& path) { return gone.count(path) > 0; });
  for (const auto& [from, to] : renamed) std::replace(results.begin(), results.end(), from, to);
  // The search window may show the same list: it is told that its rows changed.
  app_.frmSearch->RefreshResults(results);
  // The status bar keeps what the scan of the results left there.
  form_.fListModel->ApplyChanges(removed, renamed, {});
}

void ListWatch::ShowCount() {
  form_.StatusPanel(0)->setText(app_.Str(53) + " " + QString::number(form_.fListModel->rowCount()));
}
