#pragma once

// The rename journal's text: every rename of a run is on the disk before it is done, so that a
// run can be taken back even after a crash or a restart.
//
//   RUN2                                 a run starts
//   PAIR <tab> n <tab> dev <tab> ino <tab> size <tab> mtime <tab> btime <tab> old <tab> new
//                                        the run's n-th rename, old to new (full paths), with
//                                        the identity of the file; all the pairs of a run are
//                                        written and synced together before the first rename
//   DONE <tab> n / FAILED <tab> n        the n-th rename happened / did not happen; written a
//                                        few hundred at a time and not synced, since each
//                                        rename is made safe by its PAIR line, written before it
//   END                                  the run is over and its renames and marks are on the
//                                        disk: a pair without a mark was never tried (the run
//                                        was stopped before it)
//   UNDONE                               the run has been taken back
//
// A run without END was cut short by a crash: whether each unmarked pair was renamed is told by
// the disk (the old name gone and the new name holding the recorded file: renamed).
//
// Journals of earlier versions are still read: "RUN", then "MOVE <tab> dev <tab> ino <tab> old
// <tab> new" before each rename, "FAILED" for the MOVE above it, and "UNDONE".
// Paths are bytes; a backslash, tab, CR or LF in them is written as \\, \t, \r or \n.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"

namespace tools {

// A path as one tab-separated field, and back (nothing for a malformed escape).
std::string EscapeField(std::string_view text);
std::optional<std::string> UnescapeField(std::string_view text);
// The fields of a line.
std::vector<std::string_view> SplitTabs(std::string_view line);

// The journal's file name in the program directory.
inline constexpr const char* kJournalFileName = "renames.bw";

enum class PairState { kUnknown, kDone, kFailed };

struct JournalPair {
  platform::FileIdentity id;  // the file as it was before the rename
  std::string old_path;
  std::string new_path;
  bool full_id = true;  // false for an old journal, which kept only the device and the inode
  PairState state = PairState::kUnknown;
};

// The record lines, each with its CR LF.
std::string JournalRunLine();
std::string JournalPairLine(std::size_t index, const JournalPair& pair);
std::string JournalDoneLine(std::size_t index);
std::string JournalFailedLine(std::size_t index);
std::string JournalEndLine();
std::string JournalUndoneLine();

struct JournalRun {
  std::vector<JournalPair> pairs;  // in run order
  bool complete = false;           // the run's END was written
  bool undone = false;
  // A line that cannot be read (other than a last line cut short by a crash): the journal is
  // not trusted at all.
  bool damaged = false;
};

// The last run recorded in the text; nothing when it holds none.
std::optional<JournalRun> LastJournalRun(std::string_view text);

// A pair undo does not rename back, and why.
struct LeftPair {
  JournalPair pair;
  std::string why;
};

struct UndoPlan {
  bool refused = false;                  // the whole journal is refused
  std::vector<JournalPair> rename_back;  // new -> old, most recent first
  std::vector<LeftPair> left;            // not renamed back, most recent first
};

// Tells what is at a path now (a link not followed), or nothing.
using IdentityOf = std::function<std::optional<platform::FileIdentity>(const std::string&)>;

// Decides what taking `run` back may do. A run renames inside one directory: a journal with a
// pair that leaves its directory (or a damaged journal) is refused as a whole. A pair is renamed
// back only when the file under its new name is still the file the run renamed and nothing
// holds its old name; a pair whose rename never happened (a crash or a stop before it) is
// passed over without a word, as is an unmarked pair of a complete run, which was never tried.
UndoPlan PlanUndo(const JournalRun& run, const IdentityOf& identity_of);

}  // namespace tools
