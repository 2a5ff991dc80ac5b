#pragma once

// File operations with the guarantees the program relies on: nothing the user did not name is
// ever replaced, and files the program owns are rewritten whole or not at all.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Files read whole, which most callers of these operations also read.

namespace platform {

// True for an existing regular file (links followed), never for a directory.
bool FileExists(const std::string& path);

// True for an existing directory (links followed), never for a file.
bool DirectoryExists(const std::string& path);

struct FileInfo {
  std::int64_t size = 0;
  std::int64_t mtime = 0;  // seconds since the epoch
};

// Size and last-write time of a regular file; nothing for directories or missing files.
std::optional<FileInfo> StatFile(const std::string& path);

// True for a regular file, a directory or a symbolic link (the link itself, dangling or not);
// false for named pipes, sockets, devices and missing paths. Copy and move take only these.
bool IsFileDirOrLink(const std::string& path);

// Copies src to dst, never replacing an existing dst; removes a partial target on failure and
// keeps the mode bits and times. The kernel copies the data (a clone where the file system shares
// blocks), and the holes of a sparse file stay holes. Only a regular file (or a link to one) is
// copied; anything else is refused without being opened for reading. False on any failure.
bool CopyFileNoReplace(const std::string& src, const std::string& dst);

enum class CopyOutcome { kCopied, kFailed, kNotRegular, kStopped };

// Receives the bytes of the file copied so far, after every chunk; returning false stops the copy.
using CopyProgress = std::function<bool(std::int64_t copied)>;

// CopyFileNoReplace that tells why it did not copy: the source is not a regular file (a named
// pipe is never opened for a blocking read), or `progress` asked to stop. Whatever the outcome
// other than kCopied, no target is left behind. Like cp, it does not wait for the data to reach
// the disk (a wait per file makes copying many small files several times slower); the source
// stays, so nothing but the copy itself is at stake. Moves and copies followed by removing the
// source use CopyFileNoReplace, which waits.
// `durable`: wait for the data to reach the disk all the same, for a copy whose source is
// removed next.
CopyOutcome CopyFileReporting(const std::string& src, const std::string& dst,
                              const CopyProgress& progress, bool durable = false);

// Makes `dst` a symbolic link with the same target as the link `src` (the link itself is
// copied, never what it points to); never replaces an existing dst. False on any failure.
bool CopyLinkNoReplace(const std::string& src, const std::string& dst);

// Tells, from the errno of a rename with the no-replace flag, whether the system refused the
// flag itself rather than the move.
bool NoReplaceUnsupported(int err);

// Moves src to dst, never replacing an existing dst (across file systems: copy, then remove the
// source only after the copy succeeded). Refuses anything but a file, directory or link. False
// on any failure.
bool MoveFileNoReplace(const std::string& src, const std::string& dst);

// Removes a file or a link itself; never a directory.
bool DeleteFile(const std::string& path);

// Creates an empty file; an existing file is left as it is. False when it cannot be created.
bool CreateEmptyFile(const std::string& path);

// Puts the directory's entries (names made, renamed or removed in it) on the disk.
bool SyncDirectory(const std::string& dir);

// Writes `contents` to a temporary file in the same directory and renames it over `path`, so
// the old file stays whole when anything fails. Throws std::runtime_error with a message that
// names the path on failure.
void WriteFileAtomic(const std::string& path, std::string_view contents);

// Writes a file piece by piece into a temporary file in the same directory, which Commit renames
// over `path`. Until then the old file stays as it was; a writer dropped without Commit removes
// its temporary file.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter() { Abort(); }
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file; false when the target cannot be written.
  bool Open(const std::string& path);
  // Takes disk space for `size` bytes at once, so that a large file is not given its space
  // piece by piece as it is written, and a disk without room for it fails here. False only when
  // the disk is full; true where the file system takes no space ahead.
  bool Reserve(std::int64_t size);
  // Appends bytes; false on failure.
  bool Write(std::string_view data);
  // Writes bytes at `offset`; several threads may write different parts at once. False on
  // failure.
  bool WriteAt(std::int64_t offset, std::string_view data);
  // Tells that everything before `end` is written (Write tells it itself), so that its
  // write-out to the disk can begin. One thread at a time.
  void WrittenUpTo(std::int64_t end);
  // Gives the file the old file's mode (or the usual mode for a new file), syncs it and puts it
  // in place of the target; false on failure, which leaves the old file untouched.
  bool Commit();
  // Removes the temporary file, if any.
  void Abort();

 private:
  // Write-out starts after every step written; data more than the lag behind is waited for.
  static constexpr std::int64_t kWriteBackStep = std::int64_t{8} << 20;
  static constexpr std::int64_t kWriteBackLag = std::int64_t{32} << 20;
  static constexpr std::int64_t kPageSize = 4096;
  void PaceWriteBack();

  int fd_ = -1;
  std::int64_t written_ = 0;  // bytes known to be written from the start
  std::int64_t started_ = 0;  // bytes whose write-out has been started
  std::int64_t dropped_ = 0;  // bytes known on the disk and dropped from the page cache
  std::string target_;
  std::string dir_;
  std::string temp_;
};

}  // namespace platform
