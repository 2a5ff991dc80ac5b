#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/fault_plan.h"

namespace platform {

// Open for reading too, so that a cut last piece can be found.
AppendFile::AppendFile(const std::string& path)
    : fd_(faults::Open(path, O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {}

AppendFile::~AppendFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool AppendFile::Append(std::string_view text) {
  if (fd_ < 0) return false;
  // A piece that does not fit (a full disk) is taken back whole, so the file never ends in
  // half an entry that the next append would run on from.
  const off_t start = ::lseek(fd_, 0, SEEK_END);
  while (!text.empty()) {
    const ssize_t n = faults::Write(fd_, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (start >= 0 && ::ftruncate(fd_, start) != 0) { /* the torn piece stays */
      }
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool AppendFile::Sync() {
  return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool AppendFile::LockWholeLines() {
  if (fd_ < 0) return false;
  while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
  }
  const off_t end = ::lseek(fd_, 0, SEEK_END);
  if (end <= 0) return end == 0;
  // Back from the end to the last line break: the last byte alone where nothing was cut, then
  // a block at a time.
  constexpr off_t kBlock = off_t{1} << 16;
  std::string block;
  for (off_t to = end; to > 0;) {
    const off_t from = to == end ? end - 1 : std::max<off_t>(0, to - kBlock);
    block.resize(static_cast<std::size_t>(to - from));
    if (::pread(fd_, block.data(), block.size(), from) != static_cast<ssize_t>(block.size()))
      return false;
    const std::size_t at = block.find_last_of("\r\n");
    if (at != std::string::npos) {
      const off_t keep = from + static_cast<off_t>(at) + 1;
      return keep == end || ::ftruncate(fd_, keep) == 0;
    }
    to = from;
  }
  return ::ftruncate(fd_, 0) == 0;
}

std::int64_t AppendFile::Size() const {
  struct stat st {};
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::optional<EntryId> GetEntryId(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return EntryId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace platform
