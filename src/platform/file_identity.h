#pragma once

// What tells a file from a newcomer under the same name: the device and inode alone are not
// enough, since a file system may hand a freed inode to the next file made at once. The birth
// time (where the file system keeps one), the size and the last-write time go with them.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtime_ns = 0;  // last write, nanoseconds since the epoch
  std::int64_t btime_ns = 0;  // birth, nanoseconds since the epoch; 0 where unknown
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the entry itself (a link is not followed), or nothing when there is none.
std::optional<FileIdentity> GetFileIdentity(const std::string& path);
// The same for the entry `name` of the open directory `dir_fd`; `mode`, when given, receives
// the entry's type and permission bits (as stat gives them).
std::optional<FileIdentity> GetFileIdentityAt(int dir_fd, const std::string& name,
                                              unsigned* mode = nullptr);
// The identity of what `path` names, a link followed: the file a copy of `path` reads, whose
// size and last-write time the copy takes.
std::optional<FileIdentity> GetTargetIdentity(const std::string& path);

// True when `now` is the file that `recorded` describes: the same device, inode, size and
// last-write time, and the same birth time where both know one.
bool SameFile(const FileIdentity& recorded, const FileIdentity& now);

// Renames src to dst on one file system, never replacing dst and never copying: a move that
// would cross file systems fails. False on any failure.
bool RenameWithinFileSystem(const std::string& src, const std::string& dst);

}  // namespace platform
