#pragma once

// The undo history's text (undo.bw in the settings directory): one change per line, the most
// recent last, each written before the change is made.
//
//   TRASH  <tab> identity <tab> original <tab> path in the trash <tab> its info file
//   RENAME <tab> identity <tab> old <tab> new      (also a move within one file system)
//   CREATE <tab> identity <tab> path               (identity 0s: made just after the record)
//   BATCH  <tab> run                               a batch renaming run, kept in renames.bw under
//                                                  its id; without the id (an earlier version's
//                                                  entry) the run there without one
//   COPY   (<tab> identity <tab> source <tab> target)...   files copied into one directory
//   MOVE   (<tab> identity <tab> source <tab> target)...   files moved into one directory
//   COPYING <tab> job (<tab> identity <tab> source <tab> target)...   a copy about to be made
//   MOVING  <tab> job (<tab> identity <tab> source <tab> target)...   a move about to be made
//   MADE    <tab> job (<tab> identity <tab> source <tab> target)...   what that job made
//
// identity is dev <tab> ino <tab> size <tab> mtime <tab> btime of the file the change is about.
// A copy or move job appends COPYING or MOVING lines under its own number before its first
// file, with the sources' size and last-write time alone (device and inode 0), and one MADE
// line when it is over, naming the targets it made with their identities. The lines of a job
// are read as one entry, at the place of its first line; a job without its MADE line (still
// running, or cut off by a crash) is an entry of every file it planned. A rewritten history
// holds finished jobs as COPY and MOVE lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"

namespace tools {

inline constexpr const char* kUndoFileName = "undo.bw";

enum class UndoKind { kTrash, kRename, kCreate, kBatch, kCopy, kMove };

// One file of a copy or a move.
struct TransferItem {
  platform::FileIdentity id;  // the target as made, or the source's size and time before
  std::string source;
  std::string target;
  bool operator==(const TransferItem&) const = default;
};

// The longest copy or move line read or written: a larger one would make every start of the
// program read megabytes for an undo the user may never ask for.
inline constexpr std::size_t kMaxTransferLineBytes = std::size_t{4} << 20;
// The most a copy or move line takes beyond its items: its kind, its job and its line end. The
// items of one job, counted by TransferItemBytes, stay within the line's cap less this.
inline constexpr std::size_t kTransferLineHeadBytes = 32;

struct UndoEntry {
  UndoKind kind = UndoKind::kRename;
  platform::FileIdentity id;
  std::vector<std::string> paths;        // as listed above, per kind
  std::vector<TransferItem> items = {};  // for a copy or a move, in the order they were made
  std::string run = {};                  // for a batch run, its id in the rename journal
  std::uint64_t job = 0;                 // a copy or move not known to be over: its number
  bool operator==(const UndoEntry&) const = default;
};

// The bytes an item takes in its line at most, whatever identity it is given later.
std::size_t TransferItemBytes(const TransferItem& item);

// True for a full path without empty, "." or ".." parts: the only kind a copy or move records.
bool IsPlainFullPath(std::string_view path);

// True when both paths name entries of the same directory.
bool SameDirectory(std::string_view a, std::string_view b);

// True when `now` is the file a copy or move left where `recorded` says: the same file, or,
// for a record written before the job, a file of the recorded size and last-write time (to
// two seconds, as file systems that keep coarse times round it).
bool IsTransferredFile(const platform::FileIdentity& recorded, const platform::FileIdentity& now);

// The entry's line with its CR LF.
std::string UndoEntryLine(const UndoEntry& entry);

// The line with its CR LF that ends copy or move job `job`, naming the items it made.
std::string TransferMadeLine(std::uint64_t job, const std::vector<TransferItem>& made);

// The most the history keeps when it is rewritten: far below what is read whole, so that a run
// of large copies never makes it unreadable.
inline constexpr std::size_t kMaxUndoHistoryBytes = std::size_t{16} << 20;

// The lines of the newest entries whose text stays within `cap` bytes, oldest first; the oldest
// entries are the ones let go.
std::string UndoHistoryText(const std::vector<UndoEntry>& entries, std::size_t cap);

// Every entry of the history, oldest first; nothing when a line cannot be read (a last line cut
// short by a crash is left unread), so that a damaged history is refused as a whole. A copy or
// move line over kMaxTransferLineBytes, or with a target outside the directory of its first
// target, is refused the same way: the change never touched such a path. So is a job whose
// lines together would make a line over the cap, or that mixes copies and moves. A MADE line
// of a job with no line before it (taken off by an undo while the job ran) is passed over, as
// are its items that the job's remaining lines do not name.
std::optional<std::vector<UndoEntry>> ParseUndoHistory(std::string_view text);

// The menu caption that says what undo will take back, such as "Undo rename of report.txt".
std::string UndoCaption(const UndoEntry& entry);

}  // namespace tools
