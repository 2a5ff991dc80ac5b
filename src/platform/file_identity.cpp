#include "platform/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fault_plan.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {

namespace {

std::int64_t Nanoseconds(const struct statx_timestamp& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::optional<FileIdentity> StatxIdentity(int dir_fd, const std::string& name, int flags,
                                          unsigned* mode) {
  struct statx st {};
  if (statx(dir_fd, name.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
    return std::nullopt;
  }
  if (mode != nullptr) *mode = st.stx_mode;
  FileIdentity id;
  // The same number stat() gives, so that identities compare with older records.
  id.device = makedev(st.stx_dev_major, st.stx_dev_minor);
  id.inode = st.stx_ino;
  id.size = static_cast<std::int64_t>(st.stx_size);
  id.mtime_ns = Nanoseconds(st.stx_mtime);
  if (st.stx_mask & STATX_BTIME) id.btime_ns = Nanoseconds(st.stx_btime);
  return id;
}

}  // namespace

std::optional<FileIdentity> GetFileIdentity(const std::string& path) {
  return StatxIdentity(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, nullptr);
}

std::optional<FileIdentity> GetFileIdentityAt(int dir_fd, const std::string& name, unsigned* mode) {
  return StatxIdentity(dir_fd, name, AT_SYMLINK_NOFOLLOW, mode);
}

std::optional<FileIdentity> GetTargetIdentity(const std::string& path) {
  return StatxIdentity(AT_FDCWD, path, 0, nullptr);
}

bool SameFile(const FileIdentity& recorded, const FileIdentity& now) {
  const bool births_agree =
      recorded.btime_ns == 0 || now.btime_ns == 0 || recorded.btime_ns == now.btime_ns;
  return recorded.device == now.device && recorded.inode == now.inode &&
         recorded.size == now.size && recorded.mtime_ns == now.mtime_ns && births_agree;
}

bool RenameWithinFileSystem(const std::string& src, const std::string& dst) {
  if (faults::Refused(src) || faults::Refused(dst)) return false;
  if (faults::Confined(src) || faults::Confined(dst)) return false;
  if (syscall(SYS_renameat2, AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  // A file system without the no-replace flag: a second name cannot replace anything. A
  // directory has no second name, and a plain rename could replace; it stays where it is.
  struct stat st;
  if (lstat(src.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (link(src.c_str(), dst.c_str()) != 0) return false;
  if (unlink(src.c_str()) == 0) return true;
  unlink(dst.c_str());
  return false;
}

}  // namespace platform
