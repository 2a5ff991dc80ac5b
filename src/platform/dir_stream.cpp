#include "platform/dir_stream.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

DirStream::DirStream(int fd, char* buffer)
    : fd_(fd),
      own_buffer_(buffer == nullptr ? new char[kBufferBytes] : nullptr),
      buffer_(buffer == nullptr ? own_buffer_.get() : buffer) {}

DirStream::~DirStream() {
  if (fd_ >= 0) close(fd_);
}

bool DirStream::Next(Entry& entry) {
  for (;;) {
    if (at_ >= filled_) {
      if (fd_ < 0) return false;
      filled_ = syscall(SYS_getdents64, fd_, buffer_, kBufferBytes);
      at_ = 0;
      if (filled_ <= 0) {
        filled_ = 0;
        return false;
      }
    }
    // The kernel's records have the C library's 64-bit layout.
    const auto* item = reinterpret_cast<const dirent64*>(buffer_ + at_);
    at_ += item->d_reclen;
    const char* name = item->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    entry.name = std::string_view(name);
    entry.type = item->d_type;
    return true;
  }
}

}  // namespace platform
