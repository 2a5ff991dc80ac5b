#pragma once

// Reads a directory's entries straight from the kernel, many at a time into one buffer, without
// the extra calls a C library directory stream makes when it is opened.

#include <memory>
#include <string_view>

namespace platform {

class DirStream {
 public:
  struct Entry {
    std::string_view name;  // valid until the next call of Next
    unsigned char type;     // a DT_ value; DT_UNKNOWN where the file system does not say
  };

  // A buffer for one read: a few hundred names.
  static constexpr long kBufferBytes = 32 * 1024;

  // Takes `fd`, an open directory, and closes it when the stream goes. `buffer`, of kBufferBytes,
  // is one the caller keeps for stream after stream; without it the stream has one of its own.
  explicit DirStream(int fd, char* buffer = nullptr);
  ~DirStream();
  DirStream(const DirStream&) = delete;
  DirStream& operator=(const DirStream&) = delete;

  // The next entry, "." and ".." left out; false at the end or when the directory cannot be read.
  bool Next(Entry& entry);
  int fd() const { return fd_; }

 private:
  int fd_;
  std::unique_ptr<char[]> own_buffer_;
  char* buffer_;
  long filled_ = 0;  // bytes the last read gave
  long at_ = 0;      // where the next entry of the buffer begins
};

}  // namespace platform
