#include "platform/tree_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

#include "platform/paths.h"

namespace platform {
namespace {

struct CloseDir {
  void operator()(DIR* stream) const { closedir(stream); }
};

// The directories still to be listed, first in first out, as paths relative to the start
// directory kept end to end in one buffer: a wide tree queues tens of thousands of them, and one
// string each would cost more than the paths themselves.
class DirQueue {
 public:
  bool empty() const { return head_ == buffer_.size(); }

  void Push(std::string_view relative_dir, std::string_view name) {
    buffer_.append(relative_dir);
    buffer_.append(name);
    buffer_.push_back(kPathDelim);
    buffer_.push_back('\0');
  }

  // Takes the oldest directory off the queue into `relative_dir`.
  void Pop(std::string& relative_dir) {
    const std::size_t end = buffer_.find('\0', head_);
    relative_dir.assign(buffer_, head_, end - head_);
    head_ = end + 1;
    // Drop what has been read once it is most of the buffer, so the buffer holds about what is
    // still queued.
    if (head_ > 4096 && head_ * 2 > buffer_.size()) {
      buffer_.erase(0, head_);
      head_ = 0;
    }
  }

 private:
  std::string buffer_;
  std::size_t head_ = 0;
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

}  // namespace

WalkSummary WalkBreadthFirst(std::string_view start, const WalkCallbacks& callbacks) {
  WalkSummary summary;
  std::string dir(start);
  if (dir.empty() || dir.back() != kPathDelim) dir.push_back(kPathDelim);
  const std::size_t start_length = dir.size();

  DirQueue queue;
  std::string relative;  // the current directory below the start, ending in the delimiter
  for (;;) {
    if (callbacks.enter && !callbacks.enter(dir)) {
      summary.stopped = true;
      return summary;
    }
    std::unique_ptr<DIR, CloseDir> stream(opendir(dir.c_str()));
    if (!stream) {
      ++summary.skipped;
    } else {
      ++summary.listed;
      const int dir_fd = dirfd(stream.get());
      while (const dirent* item = readdir(stream.get())) {
        const char* name = item->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        switch (KindOf(dir_fd, item)) {
          case Kind::kDir:
            queue.Push(relative, name);
            break;
          case Kind::kLinkToDir:
            break;
          case Kind::kFile:
            if (callbacks.file && !callbacks.file(dir, name)) {
              summary.stopped = true;
              return summary;
            }
            break;
        }
      }
    }
    if (queue.empty()) return summary;
    queue.Pop(relative);
    dir.resize(start_length);
    dir.append(relative);
  }
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace platform
