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

namespace {

bool Renamable(unsigned mode) {
  return S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode);
}

}  // namespace

DirRenamer::DirRenamer(std::string dir)
    : dir_(std::move(dir)),
      fd_(dir_.empty() ? -1 : open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

DirRenamer::~DirRenamer() {
  if (look_up_.joinable()) look_up_.join();
}

std::optional<FileIdentity> DirRenamer::Identify(const std::string& name) const {
  unsigned mode = 0;
  const auto id =
      fd_.ok() ? GetFileIdentityAt(fd_.get(), name, &mode) : GetFileIdentity(JoinPath(dir_, name));
  if (!id || (fd_.ok() && !Renamable(mode))) return std::nullopt;
  return id;
}

void DirRenamer::LookUpAhead(std::vector<std::string> names) {
  if (!fd_.ok() || look_up_.joinable()) return;
  // A name not yet taken is looked up as well as one that is: the directory cache then holds
  // the answer, which each rename would otherwise find out for itself with the directory locked.
  look_up_ = std::thread([fd = fd_.get(), names = std::move(names)] {
    struct stat st;
    for (const std::string& name : names) fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW);
  });
}

bool DirRenamer::Rename(const std::string& old_name, const std::string& new_name, bool identified) {
  if (look_up_.joinable()) look_up_.join();
  // The fault plan speaks of paths, and file systems without the no-replace flag need the
  // fallbacks: both are MoveFileNoReplace's business.
  const auto by_path = [&] {
    return MoveFileNoReplace(JoinPath(dir_, old_name), JoinPath(dir_, new_name));
  };
  if (!fd_.ok() || faults::Armed()) return by_path();
  if (!identified) {
    struct stat st;
    if (fstatat(fd_.get(), old_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!Renamable(st.st_mode)) return false;
  }
  if (syscall(SYS_renameat2, fd_.get(), old_name.c_str(), fd_.get(), new_name.c_str(),
              RENAME_NOREPLACE) == 0) {
    return true;
  }
  const int err = errno;
  return (NoReplaceUnsupported(err) || err == EXDEV) && by_path();
}

}  // namespace platform
