#include "platform/tree_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/paths.h"

namespace platform {
namespace {

struct CloseDir {
  void operator()(DIR* stream) const { closedir(stream); }
};

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Opens the directory `path` relative to `base`. A path longer than the system takes in one call
// is opened a piece of whole names at a time, each piece relative to the one before. The last
// name is not followed when it has become a link since it was listed.
int OpenDirectoryAt(int base, std::string_view path, int extra_flags) {
  constexpr std::size_t kPiece = 2048;  // well below PATH_MAX, and far above NAME_MAX
  int fd = base;
  for (;;) {
    std::size_t cut = path.size();
    if (cut > kPiece) {
      cut = path.rfind(kPathDelim, kPiece);
      if (cut == std::string_view::npos) cut = path.find(kPathDelim);
      if (cut == 0) cut = 1;  // the root itself
    }
    const std::string piece(path.substr(0, cut));
    const bool last = cut >= path.size();
    const int next = openat(fd, piece.c_str(), kDirFlags | (last ? extra_flags : 0));
    if (fd != base) close(fd);
    if (next < 0 || last) return next;
    fd = next;
    path.remove_prefix(path[cut] == kPathDelim ? cut + 1 : cut);
    if (path.empty()) return fd;
  }
}

// The directories still to be listed, first in first out, as paths relative to the start
// directory kept end to end in one buffer: a wide tree queues tens of thousands of them, and one
// string each would cost more than the paths themselves.
class DirQueue {
 public:
  bool empty() const { return starts_.empty(); }
  std::size_t size() const { return starts_.size(); }

  // Queues the directory `name` of the directory `relative_dir` ("" for the start).
  void Push(std::string_view relative_dir, std::string_view name) {
    starts_.push_back(dropped_ + buffer_.size());
    buffer_.append(relative_dir);
    if (!name.empty()) buffer_.append(name).push_back(kPathDelim);
    buffer_.push_back('\0');
  }

  // The directory `index` places behind the oldest one.
  std::string_view At(std::size_t index) const {
    return std::string_view(buffer_.c_str() + (starts_[index] - dropped_));
  }

  void PopFront() {
    starts_.pop_front();
    // Drop what has been read once it is most of the buffer, so the buffer holds about what is
    // still queued.
    const std::size_t head = (starts_.empty() ? dropped_ + buffer_.size() : starts_.front());
    if (head - dropped_ > 4096 && (head - dropped_) * 2 > buffer_.size()) {
      buffer_.erase(0, head - dropped_);
      dropped_ = head;
    }
  }

 private:
  std::string buffer_;
  std::deque<std::size_t> starts_;  // where each path begins, counted from the first byte queued
  std::size_t dropped_ = 0;         // bytes erased from the front of the buffer
};

enum class Kind { kFile, kDir, kLinkToDir };

Kind KindOf(int dir_fd, const dirent* item) {
  if (item->d_type == DT_DIR) return Kind::kDir;
  if (item->d_type != DT_LNK && item->d_type != DT_UNKNOWN) return Kind::kFile;
  struct stat st;
  if (fstatat(dir_fd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kFile;
  if (S_ISDIR(st.st_mode)) return Kind::kDir;
  if (!S_ISLNK(st.st_mode)) return Kind::kFile;
  // A link: what it points to decides; a dangling link is a file.
  if (fstatat(dir_fd, item->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)) return Kind::kLinkToDir;
  return Kind::kFile;
}

// What listing one directory gave.
struct Listing {
  bool listed = false;
  std::string files;    // the names `select` kept, in its order, each followed by '\0'
  std::string subdirs;  // each followed by '\0'
};

// Calls `each` with every name of a list made of names that each end in '\0'; false stops.
template <typename Each>
bool ForEachName(const std::string& names, Each each) {
  for (std::size_t at = 0; at < names.size();) {
    const std::string_view name(names.c_str() + at);
    if (!each(name)) return false;
    at += name.size() + 1;
  }
  return true;
}

class Walk {
 public:
  Walk(std::string_view start, const WalkCallbacks& callbacks) : callbacks_(callbacks) {
    start_.assign(start);
    if (start_.empty() || start_.back() != kPathDelim) start_.push_back(kPathDelim);
  }
  ~Walk() {
    if (start_fd_ >= 0) close(start_fd_);
  }
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;

  WalkSummary Run(unsigned threads) {
    queue_.Push({}, {});  // the start itself
    if (threads <= 1) {
      RunAlone();
    } else {
      RunWithHelpers(threads);
    }
    return summary_;
  }

 private:
  // The path of a queued directory below the start: "" for the start itself, ending in the
  // delimiter otherwise.
  std::string Relative(std::size_t index) const { return std::string(queue_.At(index)); }

  Listing List(const std::string& relative) const {
    Listing listing;
    const int fd =
        relative.empty() ? dup(start_fd_) : OpenDirectoryAt(start_fd_, relative, O_NOFOLLOW);
    if (fd < 0) return listing;
    std::unique_ptr<DIR, CloseDir> stream(fdopendir(fd));
    if (!stream) {
      close(fd);
      return listing;
    }
    listing.listed = true;
    std::string names;
    std::vector<std::size_t> ends;
    while (const dirent* item = readdir(stream.get())) {
      if (stop_.load(std::memory_order_relaxed)) break;
      const std::string_view name = item->d_name;
      if (name == "." || name == "..") continue;
      switch (KindOf(fd, item)) {
        case Kind::kDir:
          listing.subdirs.append(name).push_back('\0');
          break;
        case Kind::kLinkToDir:
          break;
        case Kind::kFile:
          names.append(name);
          ends.push_back(names.size());
          break;
      }
    }
    std::vector<std::string_view> kept;
    kept.reserve(ends.size());
    for (std::size_t i = 0, begin = 0; i < ends.size(); begin = ends[i++]) {
      kept.emplace_back(names.data() + begin, ends[i] - begin);
    }
    if (callbacks_.select) callbacks_.select(kept);
    for (const std::string_view name : kept) listing.files.append(name).push_back('\0');
    return listing;
  }

  // Queues the subdirectories of the directory at `relative`, which has just left the queue.
  void QueueSubdirs(const std::string& relative, const Listing& listing) {
    if (listing.listed) {
      ++summary_.listed;
    } else {
      ++summary_.skipped;
    }
    ForEachName(listing.subdirs, [&](std::string_view name) {
      queue_.Push(relative, name);
      return true;
    });
  }

  bool Enter(const std::string& dir) {
    if (!callbacks_.enter || callbacks_.enter(dir)) return true;
    summary_.stopped = true;
    return false;
  }

  bool Files(const std::string& dir, const Listing& listing) {
    if (!callbacks_.file) return true;
    if (ForEachName(listing.files,
                    [&](std::string_view name) { return callbacks_.file(dir, name); }))
      return true;
    summary_.stopped = true;
    return false;
  }

  bool OpenStart() {
    if (start_fd_ >= 0) return true;
    start_fd_ = OpenDirectoryAt(AT_FDCWD, start_, 0);
    return start_fd_ >= 0;
  }

  void RunAlone() {
    while (!queue_.empty()) {
      const std::string relative = Relative(0);
      const std::string dir = start_ + relative;
      if (!Enter(dir)) return;
      const Listing listing = OpenStart() ? List(relative) : Listing{};
      queue_.PopFront();
      QueueSubdirs(relative, listing);
      if (!Files(dir, listing)) return;
    }
  }

  // Helper threads list the queued directories in queue order, as far as kLookahead beyond the
  // oldest one; the calling thread takes each listing off the front as soon as it is ready, so
  // the callbacks see exactly what a walk alone gives.
  void RunWithHelpers(unsigned threads) {
    if (!OpenStart()) {
      const std::string dir = start_;
      if (Enter(dir)) ++summary_.skipped;
      return;
    }
    struct Pending {
      bool done = false;
      Listing listing;
    };
    constexpr std::size_t kLookahead = 1024;
    std::mutex mutex;
    std::condition_variable work_queued;
    std::condition_variable front_done;
    std::deque<Pending> pending;  // for the oldest queued directories, in queue order
    std::size_t front_index = 0;  // how many directories have left the queue
    bool finished = false;

    const auto helper = [&] {
      std::unique_lock lock(mutex);
      for (;;) {
        work_queued.wait(lock, [&] {
          return finished || (pending.size() < queue_.size() && pending.size() < kLookahead);
        });
        if (finished) return;
        const std::size_t index = front_index + pending.size();
        pending.emplace_back();
        const std::string relative = Relative(pending.size() - 1);
        lock.unlock();
        Listing listing = List(relative);
        lock.lock();
        Pending& slot = pending[index - front_index];
        slot.listing = std::move(listing);
        slot.done = true;
        if (index == front_index) front_done.notify_one();
      }
    };
    // However the walk ends, even by an exception from a callback, the helpers stop first.
    struct Helpers {
      std::vector<std::thread> threads;
      std::function<void()> finish;
      ~Helpers() {
        finish();
        for (std::thread& t : threads) t.join();
      }
    } helpers{{}, [&] {
                stop_ = true;
                {
                  std::lock_guard lock(mutex);
                  finished = true;
                }
                work_queued.notify_all();
              }};
    for (unsigned i = 0; i < threads; ++i) helpers.threads.emplace_back(helper);

    std::unique_lock lock(mutex);
    while (!queue_.empty()) {
      const auto ready = [&] { return !pending.empty() && pending.front().done; };
      if (!front_done.wait_for(lock, std::chrono::milliseconds(10), ready)) {
        lock.unlock();
        const bool go = !callbacks_.idle || callbacks_.idle();
        lock.lock();
        if (!go) {
          summary_.stopped = true;
          return;
        }
        continue;
      }
      const Listing listing = std::move(pending.front().listing);
      pending.pop_front();
      const std::string relative = Relative(0);
      queue_.PopFront();
      ++front_index;
      // Queued first, so that the helpers go on while the files are handed out.
      QueueSubdirs(relative, listing);
      work_queued.notify_all();
      lock.unlock();
      const std::string dir = start_ + relative;
      const bool go = Enter(dir) && Files(dir, listing);
      lock.lock();
      if (!go) return;
    }
  }

  const WalkCallbacks& callbacks_;
  std::string start_;
  int start_fd_ = -1;
  DirQueue queue_;
  WalkSummary summary_;
  std::atomic<bool> stop_{false};
};

}  // namespace

WalkSummary WalkBreadthFirst(std::string_view start, const WalkCallbacks& callbacks,
                             unsigned threads) {
  Walk walk(start, callbacks);
  return walk.Run(threads);
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace platform
