#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fault_plan.h"

namespace platform {

AppendFile::AppendFile(const std::string& path)
    : fd_(faults::Open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {}

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

std::optional<EntryId> GetEntryId(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return EntryId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace platform
