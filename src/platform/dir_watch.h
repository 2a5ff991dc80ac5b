#pragma once

// Watching directories for changes other programs make (inotify). One object holds one
// notification descriptor; the caller polls it (or waits for it to become readable) and reads
// what happened without ever blocking.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class WatchEventKind {
  kAdded,     // created in, or moved into, the directory
  kRemoved,   // deleted from, or moved out of, the directory
  kChanged,   // written and closed, or its attributes (size, time, mode) changed
  kDirGone,   // the watched directory itself was deleted, moved or unmounted
  kOverflow,  // the kernel's queue overflowed: events were lost, list again
};

struct WatchEvent {
  int watch = -1;  // the id Add() returned; -1 for kOverflow, which concerns every watch
  WatchEventKind kind = WatchEventKind::kChanged;
  std::string name;  // the entry's name within the directory; empty for kDirGone and kOverflow
  bool is_dir = false;
  // Links the two halves of a rename within one directory or across two: the same non-zero
  // value on the kRemoved and the kAdded event.
  std::uint32_t cookie = 0;
};

class DirWatch {
 public:
  DirWatch();
  ~DirWatch();
  DirWatch(const DirWatch&) = delete;
  DirWatch& operator=(const DirWatch&) = delete;

  // The descriptor that becomes readable when events are pending; -1 when inotify is not there.
  int fd() const { return fd_; }

  // Starts watching `dir`. Returns the watch id, or -1 with `why` set to a reason for the user
  // (the watch limit is reached, a network file system whose changes by other machines would
  // never be reported, no permission).
  int Add(const std::string& dir, std::string* why);
  // Stops a watch; its pending events are dropped by Read().
  void Remove(int watch);

  // Appends every event pending now, without blocking. Events of removed watches are left out.
  void Read(std::vector<WatchEvent>& events);

 private:
  int fd_ = -1;
  std::vector<int> removed_;  // ids whose queued events are still to be skipped
};

// True for a file-system type (statfs f_type) whose changes made elsewhere are not reported by
// inotify: NFS, SMB/CIFS, AFS, Ceph, 9P and alike.
bool IsNetworkFsType(std::int64_t type);

}  // namespace platform
