#include "platform/tree_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/fault_plan.h"
#include "platform/file_ops.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {
namespace {

// The names in a directory, "." and ".." left out; nothing when it cannot be listed. The
// directory is closed before its entries are visited, so the depth of a tree costs no handles.
bool ListNames(const std::string& dir, std::vector<std::string>& names) {
  const auto close_dir = [](DIR* open) { closedir(open); };
  std::unique_ptr<DIR, decltype(close_dir)> handle(opendir(dir.c_str()), close_dir);
  if (!handle) return false;
  errno = 0;
  while (const dirent* entry = readdir(handle.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  return errno == 0;
}

std::string Child(const std::string& dir, const std::string& name) {
  return dir + "/" + name;
}

// One copy of one entry, which remembers what it made so a failed or stopped copy can take it
// back, and (for a move) which sources it copied, so those alone are removed afterwards.
class TreeCopier {
 public:
  TreeCopier(const TreeProgress& progress, bool durable) : progress_(progress), durable_(durable) {}

  TreeResult Copy(const std::string& src, const std::string& dst) {
    result_.outcome = Entry(src, dst);
    if (result_.outcome != TreeOutcome::kDone) TakeBack();
    return result_;
  }

  // After a whole copy: removes the sources copied, deepest first; false when one stays.
  bool RemoveSources() {
    bool all = result_.skipped.empty();
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
      const int rc = made->directory ? rmdir(made->source.c_str()) : unlink(made->source.c_str());
      if (rc != 0) all = false;
    }
    return all;
  }

 private:
  struct Made {
    std::string source, target;
    bool directory;
  };

  TreeOutcome Entry(const std::string& src, const std::string& dst) {
    struct stat st;
    if (lstat(src.c_str(), &st) != 0) return TreeOutcome::kFailed;
    if (S_ISLNK(st.st_mode)) {
      if (!CopyLinkNoReplace(src, dst)) return TreeOutcome::kFailed;
      made_.push_back({src, dst, false});
      ++files_;
      return Report(0);
    }
    if (S_ISDIR(st.st_mode)) return Directory(src, dst, st);
    if (!S_ISREG(st.st_mode)) {
      result_.skipped.push_back(src);
      return TreeOutcome::kDone;
    }
    switch (CopyFileReporting(
        src, dst, [this](std::int64_t copied) { return Report(copied) == TreeOutcome::kDone; },
        durable_)) {
      case CopyOutcome::kCopied:
        break;
      case CopyOutcome::kStopped:
        return TreeOutcome::kStopped;
      case CopyOutcome::kNotRegular:  // it changed since it was looked at
        result_.skipped.push_back(src);
        return TreeOutcome::kDone;
      case CopyOutcome::kFailed:
        return TreeOutcome::kFailed;
    }
    made_.push_back({src, dst, false});
    ++files_;
    bytes_ += st.st_size;
    return Report(0);
  }

  TreeOutcome Directory(const std::string& src, const std::string& dst, const struct stat& st) {
    // Made private first, so it takes its contents even when the source is read-only; the
    // source's mode and times follow once the contents are in.
    if (faults::Refused(dst) || faults::Confined(dst) || mkdir(dst.c_str(), 0700) != 0)
      return TreeOutcome::kFailed;
    made_.push_back({src, dst, true});
    std::vector<std::string> names;
    if (!ListNames(src, names)) return TreeOutcome::kFailed;
    for (const std::string& name : names) {
      const TreeOutcome outcome = Entry(Child(src, name), Child(dst, name));
      if (outcome != TreeOutcome::kDone) return outcome;
    }
    if (chmod(dst.c_str(), st.st_mode & 07777) != 0) { /* stays private */
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (utimensat(AT_FDCWD, dst.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) { /* as made */
    }
    return TreeOutcome::kDone;
  }

  TreeOutcome Report(std::int64_t copied) {
    if (!progress_ || progress_(files_, bytes_ + copied)) return TreeOutcome::kDone;
    return TreeOutcome::kStopped;
  }

  // Removes what this copy made, deepest first. A directory someone else put a file into
  // meanwhile stays, with that file.
  void TakeBack() {
    // Directories given a read-only mode already take removals again first.
    for (const Made& made : made_)
      if (made.directory) chmod(made.target.c_str(), 0700);
    for (auto made = made_.rbegin(); made != made_.rend(); ++made)
      made->directory ? rmdir(made->target.c_str()) : unlink(made->target.c_str());
    made_.clear();
  }

  const TreeProgress& progress_;
  const bool durable_;
  std::vector<Made> made_;
  std::int64_t files_ = 0;
  std::int64_t bytes_ = 0;
  TreeResult result_;
};

std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

}  // namespace

TreeSize MeasureTree(const std::string& path, const std::function<bool()>& keep_going) {
  TreeSize size;
  std::vector<std::string> pending{path};
  while (!pending.empty() && (!keep_going || keep_going())) {
    const std::string entry = std::move(pending.back());
    pending.pop_back();
    struct stat st;
    if (lstat(entry.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      std::vector<std::string> names;
      ListNames(entry, names);
      for (const std::string& name : names) pending.push_back(Child(entry, name));
    } else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) {
      ++size.files;
      if (S_ISREG(st.st_mode)) size.bytes += st.st_size;
    }
  }
  return size;
}

TreeResult CopyTree(const std::string& src, const std::string& dst, const TreeProgress& progress) {
  return TreeCopier(progress, false).Copy(src, dst);
}

TreeResult MoveTree(const std::string& src, const std::string& dst, const TreeProgress& progress) {
  struct stat st;
  if (lstat(src.c_str(), &st) != 0) return {TreeOutcome::kFailed, {}};
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode))
    return {TreeOutcome::kDone, {src}};
  faults::BeforeUse(src);
  if (faults::Refused(src) || faults::Refused(dst) || faults::Confined(src) ||
      faults::Confined(dst))
    return {TreeOutcome::kFailed, {}};
  if (syscall(SYS_renameat2, AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0)
    return {};
  if (errno == EXDEV) {
    TreeCopier copier(progress, true);
    TreeResult result = copier.Copy(src, dst);
    if (result.outcome == TreeOutcome::kDone && !copier.RemoveSources())
      result.outcome = TreeOutcome::kSourceKept;
    return result;
  }
  // A file system without the no-replace flag: file_ops moves files and links there by a new
  // link; a directory is not moved.
  if (S_ISDIR(st.st_mode)) return {TreeOutcome::kFailed, {}};
  return {MoveFileNoReplace(src, dst) ? TreeOutcome::kDone : TreeOutcome::kFailed, {}};
}

bool IsWithinTree(const std::string& dir, const std::string& tree) {
  struct stat st;
  if (lstat(tree.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  const std::string real_tree = RealPath(tree), real_dir = RealPath(dir);
  if (real_tree.empty() || real_dir.empty()) return false;
  if (real_tree == "/") return true;
  return real_dir == real_tree || real_dir.starts_with(real_tree + "/");
}

}  // namespace platform
