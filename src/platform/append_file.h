#pragma once

// A file that is only ever added to, each piece with one write, so that what was appended
// before a crash is in the file whatever happens to the process afterwards.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class AppendFile {
 public:
  // Opens `path` for appending, creating it when missing.
  explicit AppendFile(const std::string& path);
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  // Adds `text` at the end; false when it could not be written whole.
  bool Append(std::string_view text);
  // Puts what was appended on the disk; false when it could not.
  bool Sync();
  // For a file of lines that several processes append to: takes the file's exclusive lock
  // (where the file system has locks; held until the file is closed), then takes off a last
  // piece without a line break, which a crash cut short, so that what is appended next starts
  // a line of its own. False when that piece could not be taken off.
  bool LockWholeLines();
  // The file's size in bytes; -1 when it cannot be told.
  std::int64_t Size() const;

 private:
  int fd_ = -1;
};

// What tells one directory entry from every other: the device and the inode of the entry
// itself (a link is not followed), or nothing when there is no such entry.
struct EntryId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const EntryId&) const = default;
};
std::optional<EntryId> GetEntryId(const std::string& path);

}  // namespace platform
