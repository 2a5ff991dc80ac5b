#include "platform/dir_watch.h"

#include <errno.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/fault_plan.h"

namespace platform {

namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                                     IN_ONLYDIR;

WatchEventKind KindOf(std::uint32_t mask) {
  if (mask & (IN_CREATE | IN_MOVED_TO)) return WatchEventKind::kAdded;
  if (mask & (IN_DELETE | IN_MOVED_FROM)) return WatchEventKind::kRemoved;
  if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) return WatchEventKind::kDirGone;
  return WatchEventKind::kChanged;
}

}  // namespace

bool IsNetworkFsType(std::int64_t type) {
  static constexpr std::uint32_t kNetwork[] = {
      0x6969,      // NFS
      0x517B,      // SMB
      0xFF534D42,  // CIFS
      0xFE534D42,  // SMB2
      0x5346414F,  // AFS
      0x6B414653,  // kAFS
      0x00C36400,  // Ceph
      0x01021997,  // 9P
      0x73757245,  // Coda
      0x47504653,  // GPFS
      0x013111A8,  // IBRIX
      0x0BD00BD0,  // Lustre
  };
  const auto t = static_cast<std::uint32_t>(type);
  return std::find(std::begin(kNetwork), std::end(kNetwork), t) != std::end(kNetwork);
}

DirWatch::DirWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

DirWatch::~DirWatch() {
  if (fd_ >= 0) close(fd_);
}

int DirWatch::Add(const std::string& dir, std::string* why) {
  const auto fail = [why](std::string text) {
    if (why != nullptr) *why = std::move(text);
    return -1;
  };
  if (fd_ < 0) return fail("the system offers no change notification");
  struct statfs fs {};
  if (statfs(dir.c_str(), &fs) == 0 && IsNetworkFsType(fs.f_type)) {
    return fail("network file system");
  }
  const int watch = faults::Refused(dir) ? -1 : inotify_add_watch(fd_, dir.c_str(), kWatchMask);
  if (watch >= 0) {
    // The kernel hands out ids again: a fresh watch is no longer skipped.
    std::erase(removed_, watch);
    return watch;
  }
  switch (errno) {
    case ENOSPC:
      return fail("watch limit reached");
    case ENOMEM:
      return fail("out of memory");
    case EACCES:
      return fail("no permission");
    default:
      return fail(std::strerror(errno));
  }
}

void DirWatch::Remove(int watch) {
  if (fd_ < 0 || watch < 0) return;
  inotify_rm_watch(fd_, watch);
  removed_.push_back(watch);
}

void DirWatch::Read(std::vector<WatchEvent>& events) {
  if (fd_ < 0) return;
  alignas(struct inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got <= 0) break;  // EAGAIN: nothing more pending
    for (ssize_t at = 0; at < got;) {
      const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
      if (e->mask & IN_Q_OVERFLOW) {
        events.push_back({-1, WatchEventKind::kOverflow, {}, false, 0});
        continue;
      }
      if (e->mask & IN_IGNORED) {
        // The watch ended (removed, or its directory gone): its id may be handed out again.
        std::erase(removed_, e->wd);
        continue;
      }
      if (std::find(removed_.begin(), removed_.end(), e->wd) != removed_.end()) continue;
      WatchEvent event;
      event.watch = e->wd;
      event.kind = KindOf(e->mask);
      if (event.kind != WatchEventKind::kDirGone && e->len > 0) event.name = e->name;
      event.is_dir = (e->mask & IN_ISDIR) != 0;
      event.cookie = e->cookie;
      events.push_back(std::move(event));
    }
  }
}

}  // namespace platform
