#include "platform/dir_rename.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fault_plan.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

DirRenamer::DirRenamer(std::string dir)
    : dir_(std::move(dir)),
      fd_(dir_.empty() ? -1 : open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

bool DirRenamer::Rename(const std::string& old_name, const std::string& new_name) {
  // The fault plan speaks of paths, and file systems without the no-replace flag need the
  // fallbacks: both are MoveFileNoReplace's business.
  const auto by_path = [&] {
    return MoveFileNoReplace(JoinPath(dir_, old_name), JoinPath(dir_, new_name));
  };
  if (!fd_.ok() || faults::Armed()) return by_path();
  struct stat st;
  if (fstatat(fd_.get(), old_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
  if (syscall(SYS_renameat2, fd_.get(), old_name.c_str(), fd_.get(), new_name.c_str(),
              RENAME_NOREPLACE) == 0) {
    return true;
  }
  const int err = errno;
  return (NoReplaceUnsupported(err) || err == EXDEV) && by_path();
}

}  // namespace platform
