#pragma once

// A file opened for reading at any 64-bit offset, so that a viewer can read just the part it
// shows, however large the file is.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class RandomAccessFile {
 public:
  // Opens a regular file (links followed); nothing when it cannot be opened.
  static std::unique_ptr<RandomAccessFile> Open(const std::string& path);
  ~RandomAccessFile();
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // The size when the file was opened.
  std::int64_t Size() const { return size_; }
  // Reads up to `count` bytes at `offset`; returns how many were read (fewer only at the end of
  // the file), or -1 when the read failed.
  std::int64_t ReadAt(std::int64_t offset, char* buffer, std::int64_t count) const;

 private:
  RandomAccessFile(int fd, std::int64_t size) : fd_(fd), size_(size) {}
  int fd_;
  std::int64_t size_;
};

}  // namespace platform
