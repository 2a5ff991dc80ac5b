#pragma once

// File operations with the guarantees the program relies on: nothing the user did not name is
// ever replaced, and files the program owns are rewritten whole or not at all.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Copies src to dst, never replacing an existing dst; removes a partial target on failure and
// keeps the mode bits and times. False on any failure.
bool CopyFileNoReplace(const std::string& src, const std::string& dst);

// Moves src to dst, never replacing an existing dst (across file systems: copy, then remove the
// source only after the copy succeeded). False on any failure.
bool MoveFileNoReplace(const std::string& src, const std::string& dst);

// Removes a file or a link itself; never a directory.
bool DeleteFile(const std::string& path);

// Creates an empty file; an existing file is left as it is. False when it cannot be created.
bool CreateEmptyFile(const std::string& path);

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
  // Appends bytes; false on failure.
  bool Write(std::string_view data);
  // Gives the file the old file's mode (or the usual mode for a new file), syncs it and puts it
  // in place of the target; false on failure, which leaves the old file untouched.
  bool Commit();
  // Removes the temporary file, if any.
  void Abort();

 private:
  int fd_ = -1;
  std::string target_;
  std::string dir_;
  std::string temp_;
};

// The whole file, or nothing when it cannot be opened or read (directories included).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Splits text at CR LF, LF or lone CR; a final line break does not start another line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines as views into `text`.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// Joins lines, each followed by CR LF.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);

}  // namespace platform
