#include "platform/file_ops.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "platform/copy_contents.h"
#include "platform/fault_plan.h"
#include "platform/unique_fd.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace platform {
namespace {

// Writes all of `data` at `offset`, however many calls it takes.
bool WriteAllAt(int fd, const char* data, std::size_t size, std::int64_t offset) {
  while (size > 0) {
    ssize_t n = faults::Pwrite(fd, data, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

// The move of a file to another file system: copy first, remove the source only after the copy
// succeeded; a source that cannot be removed takes the copy back, so nothing is doubled.
bool MoveByCopy(const std::string& src, const std::string& dst) {
  struct stat st;
  if (lstat(src.c_str(), &st) != 0) return false;
  // A link moves as the link, not as a copy of what it points to.
  if (!(S_ISLNK(st.st_mode) ? CopyLinkNoReplace(src, dst) : CopyFileNoReplace(src, dst)))
    return false;
  if (unlink(src.c_str()) == 0) return true;
  unlink(dst.c_str());
  return false;
}

// The process's file-creation mask, read once: the program never changes it.
mode_t CreationMask() {
  static const mode_t mask = [] {
    mode_t read = 022;
    // The mask can only be read without changing it through /proc (changing it would race
    // with other threads creating files).
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("Umask:", 0) == 0) {
        read = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        break;
      }
    }
    return read;
  }();
  return mask;
}

// The permission bits a new file gets from the process's file-creation mask.
mode_t NewFileMode() {
  return 0644 & ~CreationMask();
}

// The file an atomic write replaces: the target of a link rather than the link itself.
std::string ResolveWriteTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

bool WriteFileAtomicImpl(const std::string& path, std::string_view contents) {
  AtomicFileWriter writer;
  return writer.Open(path) && writer.Write(contents) && writer.Commit();
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<FileInfo> StatFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileInfo{static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
}

bool IsFileDirOrLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 &&
         (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode));
}

namespace {

// The copy behind both entry points. `durable`: wait until the data is on the disk before
// reporting success, for callers that remove the source afterwards.
CopyOutcome CopyFile(const std::string& src, const std::string& dst, const CopyProgress& progress,
                     bool durable) {
  struct stat st;
  if (stat(src.c_str(), &st) != 0) return CopyOutcome::kFailed;
  if (!S_ISREG(st.st_mode)) return CopyOutcome::kNotRegular;
  faults::BeforeUse(src);
  // O_NONBLOCK: should the name have become a named pipe since, the open does not wait for a
  // writer, and the check below refuses it.
  Fd in(faults::Open(src, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!in.ok()) return CopyOutcome::kFailed;
  if (fstat(in.get(), &st) != 0) return CopyOutcome::kFailed;
  if (!S_ISREG(st.st_mode)) return CopyOutcome::kNotRegular;

  // O_EXCL is what guarantees that an existing target is never touched. The copy is made with
  // the source's permissions, less what the creation mask takes away, which are given back
  // once the data is in (most often there are none, and the mode needs no second change).
  const mode_t mode = st.st_mode & 0777;
  Fd out(faults::Open(dst, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (!out.ok()) return CopyOutcome::kFailed;
  const CopyStep step = CopyContents(in.get(), out.get(), st, progress);
  bool ok = step == CopyStep::kDone;
  if (ok) {
    // Mode and times are kept where the target file system can hold them; one that cannot
    // (a FAT stick refusing chmod) still gets the data.
    if ((mode & CreationMask()) != 0 && fchmod(out.get(), mode) != 0) { /* left as created */
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (futimens(out.get(), times) != 0) { /* left as copied */
    }
    if (durable) ok = fsync(out.get()) == 0;
  }
  ok = out.Close() && ok;
  if (ok) return CopyOutcome::kCopied;
  // Only the file created above is removed: the open would have failed on any other.
  unlink(dst.c_str());
  return step == CopyStep::kStopped ? CopyOutcome::kStopped : CopyOutcome::kFailed;
}

}  // namespace

bool CopyFileNoReplace(const std::string& src, const std::string& dst) {
  return CopyFile(src, dst, {}, true) == CopyOutcome::kCopied;
}

CopyOutcome CopyFileReporting(const std::string& src, const std::string& dst,
                              const CopyProgress& progress, bool durable) {
  return CopyFile(src, dst, progress, durable);
}

bool CopyLinkNoReplace(const std::string& src, const std::string& dst) {
  if (faults::Refused(dst) || faults::Confined(dst)) return false;
  struct stat st;
  if (lstat(src.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  // The size a link reports may be 0 (as under /proc); the buffer grows until the target fits.
  std::string target(std::max<std::size_t>(static_cast<std::size_t>(st.st_size), 255) + 1, '\0');
  for (;;) {
    const ssize_t n = readlink(src.c_str(), target.data(), target.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  // symlink(2) fails on an existing dst, so nothing is replaced.
  return symlink(target.c_str(), dst.c_str()) == 0;
}

bool NoReplaceUnsupported(int err) {
  return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

bool MoveFileNoReplace(const std::string& src, const std::string& dst) {
  if (!IsFileDirOrLink(src)) return false;
  faults::BeforeUse(src);
  if (faults::Refused(src) || faults::Refused(dst)) return false;
  if (faults::Confined(src) || faults::Confined(dst)) return false;
  if (syscall(SYS_renameat2, AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  int err = errno;
  struct stat st;
  if (lstat(src.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (err == EXDEV) return MoveByCopy(src, dst);
  if (!NoReplaceUnsupported(err)) return false;
  // A file system without the flag: a new name for the same file cannot replace anything.
  if (link(src.c_str(), dst.c_str()) == 0) {
    if (unlink(src.c_str()) == 0) return true;
    unlink(dst.c_str());
    return false;
  }
  // Without hard links either (some network and FUSE file systems) the copy remains.
  if (errno == EEXIST) return false;
  return MoveByCopy(src, dst);
}

bool DeleteFile(const std::string& path) {
  // unlink() never removes a directory, and removes a link rather than what it points to.
  if (faults::Refused(path) || faults::Confined(path)) return false;
  return unlink(path.c_str()) == 0;
}

bool CreateEmptyFile(const std::string& path) {
  Fd fd(faults::Open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  return fd.ok() && fd.Close();
}

bool SyncDirectory(const std::string& dir) {
  Fd dir_fd(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir_fd.ok() && fsync(dir_fd.get()) == 0;
}

void WriteFileAtomic(const std::string& path, std::string_view contents) {
  if (path.empty() || !WriteFileAtomicImpl(path, contents))
    throw std::runtime_error("Unable to write to " + path);
}

bool AtomicFileWriter::Open(const std::string& path) {
  Abort();
  target_ = ResolveWriteTarget(path);
  const std::size_t slash = target_.rfind('/');
  dir_ = slash == std::string::npos ? "./" : target_.substr(0, slash + 1);
  struct stat old;
  if (stat(target_.c_str(), &old) == 0 &&
      (!S_ISREG(old.st_mode) || access(target_.c_str(), W_OK) != 0)) {
    return false;
  }
  if (faults::Refused(target_) || faults::Confined(target_)) return false;
  temp_ = dir_ + ".bw-write.XXXXXX";
  written_ = started_ = dropped_ = 0;
  fd_ = mkostemp(temp_.data(), O_CLOEXEC);
  if (fd_ < 0) temp_.clear();
  return fd_ >= 0;
}

bool AtomicFileWriter::Reserve(std::int64_t size) {
  if (fd_ < 0) return false;
  // The size stays that of the bytes written: only the disk space is taken.
  if (fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return true;
  return errno != ENOSPC && errno != EDQUOT;  // elsewhere the file system just does not reserve
}

bool AtomicFileWriter::Write(std::string_view data) {
  if (!WriteAt(written_, data)) return false;
  WrittenUpTo(written_ + static_cast<std::int64_t>(data.size()));
  return true;
}

bool AtomicFileWriter::WriteAt(std::int64_t offset, std::string_view data) {
  return fd_ >= 0 && WriteAllAt(fd_, data.data(), data.size(), offset);
}

void AtomicFileWriter::WrittenUpTo(std::int64_t end) {
  written_ = std::max(written_, end);
  if (written_ - started_ >= kWriteBackStep) PaceWriteBack();
}

// A large file is sent to the disk while it is being written, rather than all of it by the
// final fsync: the write-out of each new step starts at once, and the data a few steps behind
// is waited for and dropped from the page cache (it is not read again, and dirty pages piling
// up would only make the final sync long). Failures here are left to that fsync to report.
void AtomicFileWriter::PaceWriteBack() {
  sync_file_range(fd_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
  started_ = written_;
  const std::int64_t settled = (written_ - kWriteBackLag) / kPageSize * kPageSize;
  if (settled <= dropped_) return;
  sync_file_range(fd_, dropped_, settled - dropped_,
                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  posix_fadvise(fd_, dropped_, settled - dropped_, POSIX_FADV_DONTNEED);
  dropped_ = settled;
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0) return false;
  faults::BeforeUse(target_);
  struct stat old;
  bool ok;
  if (stat(target_.c_str(), &old) == 0) {
    // Keep the owner where allowed (a write by root of someone else's file) and the mode.
    if (fchown(fd_, old.st_uid, old.st_gid) != 0) { /* stays with the writer */
    }
    ok = fchmod(fd_, old.st_mode & 07777) == 0;
  } else {
    ok = fchmod(fd_, NewFileMode()) == 0;
  }
  ok = fsync(fd_) == 0 && ok;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  // Replacing is the purpose here: the new file stands in for the old one in a single step.
  ok = ok && rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    Abort();
    return false;
  }
  temp_.clear();
  SyncDirectory(dir_);
  return true;
}

void AtomicFileWriter::Abort() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace platform
