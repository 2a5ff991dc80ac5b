#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes away. Paths handed out end without a delimiter; Path() + "/" names its inside.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The directory path followed by the delimiter, as the program writes directories.
  std::string Slash() const { return path_ + "/"; }
  // Creates (or replaces) a file below the directory with the given bytes; returns its path.
  std::string CreateFile(std::string_view relative, std::string_view contents = {}) const;
  // Creates a directory (and its parents) below the directory; returns its path.
  std::string CreateDir(std::string_view relative) const;
  // A sparse file of `bytes` bytes, 4 KiB of data every 64 KiB: large without taking much disk,
  // and a copy that keeps its holes has thousands of pieces to copy, which take a while.
  std::string CreateSparse(std::string_view relative, std::int64_t bytes) const;
  // The whole content of a file below the directory, or "<missing>" when it cannot be read.
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;

 private:
  std::string path_;
};
