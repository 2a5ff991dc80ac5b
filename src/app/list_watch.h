#pragma once

// Keeps the main window's file list, its directory tree and the listed search results in step
// with changes other programs make on disk. Events are read as they come and applied together a
// moment after the first of a burst; a burst too large to apply entry by entry lists the
// directory again, a slice at a time, so the window keeps painting.

#include <QObject>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

#include "app/watch_rules.h"
#include "platform/dir_watch.h"

class App;
class QSocketNotifier;
class TForm1;

class ListWatch : public QObject {
  Q_OBJECT

 public:
  ListWatch(App& app, TForm1& form);

  // The list is about to be filled from `path`: that directory is watched from now on, and what
  // changes while it is read is applied once ListingDone() says the listing is complete.
  void StartListing(const std::string& path);
  void ListingDone();
  // The list shows search results: their directories are watched for removals and renames.
  void FollowResults(const std::vector<std::string>& paths);
  // Whether changes to the directory `dir` (ending in the delimiter) reach the list.
  bool Follows(const std::string& dir) const;
  // Held, changes are read but not applied until released (see MainWindowApi).
  void Hold(bool hold);

  // How long after the first event of a burst its changes are applied, in milliseconds.
  static constexpr int kSettleMs = 100;
  // More changed entries than this in one directory list it again instead.
  static constexpr std::size_t kBurstThreshold = 2000;

 private:
  void StopAll();
  int Watch(const std::string& dir);
  void ReadEvents();
  void ApplyPending();
  void ApplyToListedDir(const std::string& dir, const app::DirChanges& changes);
  void ApplyToResults(const std::string& dir, const app::DirChanges& changes);
  void ListAgain(const std::string& dir);
  void ShowCount();
  void Warn(const std::string& dir, const std::string& why);

  App& app_;
  TForm1& form_;
  platform::DirWatch watch_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer settle_;
  std::vector<platform::WatchEvent> pending_;
  std::map<int, std::string> dirs_;  // watch id -> directory, ending in the delimiter
  bool results_ = false;             // the list shows search results
  bool held_ = false;                // the list is being filled
  bool held_by_caller_ = false;      // Hold(true)
  bool applying_ = false;            // changes are being applied (events may come meanwhile)
  std::string warned_;               // the directory last said to be unfollowed
  std::string failed_;               // why the last watch could not be set
};
