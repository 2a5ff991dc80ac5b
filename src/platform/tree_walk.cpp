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

#include "platform/dir_stream.h"
#include "platform/paths.h"

namespace platform {
namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Opens the directory `path` relative to `base`. A path longer than the system takes in one call
// is opened a piece of whole names at a time, each piece relative to the one before. The last
// name is not followed when it has become a link since it was listed.
int OpenDirectoryAt(int base, const std::string& whole_path, int extra_flags) {
  constexpr std::size_t kPiece = 2048;  // well below PATH_MAX, and far above NAME_MAX
  if (whole_path.size() <= kPiece) return openat(base, whole_path.c_str(), kDirFlags | extra_flags);
  std::string_view path = whole_path;
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

Kind KindOf(int dir_fd, const DirStream::Entry& item) {
  if (item.type == DT_DIR) return Kind::kDir;
  if (item.type != DT_LNK && item.type != DT_UNKNOWN) return Kind::kFile;
  const std::string name(item.name);
  struct stat st;
  if (fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kFile;
  if (S_ISDIR(st.st_mode)) return Kind::kDir;
  if (!S_ISLNK(st.st_mode)) return Kind::kFile;
  // A link: what it points to decides; a dangling link is a file.
  if (fstatat(dir_fd, name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) return Kind::kLinkToDir;
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
  Listing List(const std::string& relative) const {
    Listing listing;
    const int fd =
        relative.empty() ? dup(start_fd_) : OpenDirectoryAt(start_fd_, relative, O_NOFOLLOW);
    if (fd < 0) return listing;
    // One buffer a thread, for all the directories it lists.
    thread_local const std::unique_ptr<char[]> buffer(new char[DirStream::kBufferBytes]);
    DirStream stream(fd, buffer.get());
    listing.listed = true;
    // Scratch space a thread keeps from one directory to the next.
    thread_local std::string names;
    thread_local std::vector<std::size_t> ends;
    thread_local std::vector<std::string_view> kept;
    names.clear();
    ends.clear();
    kept.clear();
    DirStream::Entry item;
    while (stream.Next(item)) {
      if (stop_.load(std::memory_order_relaxed)) break;
      const std::string_view name = item.name;
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
    for (std::size_t i = 0, begin = 0; i < ends.size(); begin = ends[i++]) {
      kept.emplace_back(names.data() + begin, ends[i] - begin);
    }
    if (callbacks_.select) callbacks_.select(kept);
    for (const std::string_view name : kept) listing.files.append(name).push_back('\0');
    return listing;
  }

  // Queues the subdirectories of the directory at `relative`.
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
      const std::string relative(queue_.At(0));
      const std::string dir = start_ + relative;
      if (!Enter(dir)) return;
      const Listing listing = OpenStart() ? List(relative) : Listing{};
      queue_.PopFront();
      QueueSubdirs(relative, listing);
      if (!Files(dir, listing)) return;
    }
  }

  // Helper threads list the queued directories in queue order, as far as kLookahead beyond the
  // oldest one, and queue each listing's subdirectories as soon as every listing before it is
  // done, so the queue keeps the order of a walk alone. The calling thread takes the listings
  // off the front a batch at a time, so that it is not woken for every directory; the callbacks
  // see exactly what a walk alone gives.
  void RunWithHelpers(unsigned threads) {
    if (!OpenStart()) {
      const std::string dir = start_;
      if (Enter(dir)) ++summary_.skipped;
      return;
    }
    struct Pending {
      bool done = false;
      std::string relative;
      Listing listing;
    };
    constexpr std::size_t kLookahead = 256;
    constexpr std::size_t kBatch = 64;  // listings ready before the calling thread is woken
    std::mutex mutex;
    std::condition_variable work_queued;
    std::condition_variable batch_ready;
    std::deque<Pending> pending;  // for the oldest queued directories, in queue order
    std::size_t ready = 0;        // how many of `pending` are done with their subdirs queued
    std::size_t listing_now = 0;  // helpers at work on a listing
    bool finished = false;

    // With the lock held: whether the helpers can go on without the calling thread.
    const auto can_list = [&] {
      return pending.size() < queue_.size() && pending.size() < kLookahead;
    };
    const auto helper = [&] {
      std::unique_lock lock(mutex);
      for (;;) {
        work_queued.wait(lock, [&] { return finished || can_list(); });
        if (finished) return;
        const std::size_t slot = pending.size();
        const std::size_t popped = popped_;
        pending.emplace_back();
        std::string relative(queue_.At(slot));
        ++listing_now;
        lock.unlock();
        Listing listing = List(relative);
        lock.lock();
        --listing_now;
        Pending& done = pending[slot - (popped_ - popped)];
        done.relative = std::move(relative);
        done.listing = std::move(listing);
        done.done = true;
        const std::size_t before = queue_.size();
        for (; ready < pending.size() && pending[ready].done; ++ready) {
          QueueSubdirs(pending[ready].relative, pending[ready].listing);
        }
        if (queue_.size() > before) work_queued.notify_all();
        if (ready >= kBatch || (ready > 0 && (listing_now == 0 || !can_list()))) {
          batch_ready.notify_one();
        }
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
    std::vector<std::pair<std::string, Listing>> batch;
    std::string dir;  // one string for all the directories' paths
    while (!queue_.empty()) {
      if (!batch_ready.wait_for(lock, std::chrono::milliseconds(10), [&] { return ready > 0; })) {
        lock.unlock();
        const bool go = !callbacks_.idle || callbacks_.idle();
        lock.lock();
        if (!go) {
          summary_.stopped = true;
          return;
        }
        continue;
      }
      for (; ready > 0; --ready) {
        batch.emplace_back(std::move(pending.front().relative), std::move(pending.front().listing));
        pending.pop_front();
        queue_.PopFront();
        ++popped_;
      }
      if (can_list()) work_queued.notify_all();
      lock.unlock();
      for (const auto& [relative, listing] : batch) {
        dir.assign(start_).append(relative);
        if (!Enter(dir) || !Files(dir, listing)) return;
      }
      batch.clear();
      lock.lock();
    }
  }

  const WalkCallbacks& callbacks_;
  std::string start_;
  int start_fd_ = -1;
  DirQueue queue_;
  std::size_t popped_ = 0;  // directories that have left the queue
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
