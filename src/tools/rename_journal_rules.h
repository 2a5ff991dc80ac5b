#pragma once

// The rename journal's text: one record per line, written before each rename so that a run can
// be taken back even after a crash or a restart.
//
//   RUN                                  a run starts
//   MOVE <tab> dev <tab> ino <tab> old <tab> new   about to rename old to new (full paths); dev
//                                        and ino identify the file, so that an undo touches
//                                        only the file the run renamed
//   FAILED                               the rename of the MOVE line above did not happen
//   UNDONE                               the run has been taken back
//
// Paths are bytes; a backslash, tab, CR or LF in them is written as \\, \t, \r or \n.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// The journal's file name in the program directory.
inline constexpr const char* kJournalFileName = "renames.bw";

struct JournalPair {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::string old_path;
  std::string new_path;
};

// The record lines, each with its CR LF.
std::string JournalRunLine();
std::string JournalPairLine(const JournalPair& pair);
std::string JournalFailedLine();
std::string JournalUndoneLine();

struct JournalRun {
  std::vector<JournalPair> pairs;  // the renames that were done or may have been, in run order
  bool undone = false;
};

// The last run recorded in the text; nothing when it holds none. Lines that cannot be read (a
// line cut short by a crash) are passed over.
std::optional<JournalRun> LastJournalRun(std::string_view text);

}  // namespace tools
