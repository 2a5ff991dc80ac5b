#pragma once

// The rename journal's text: every rename of a run is on the disk before it is done, so that a
// run can be taken back even after a crash or a restart. The journal holds many runs, each added
// at its end; every line names the run it belongs to, so that a run is marked without the others
// being rewritten.
//
//   RUN3 <tab> run                       a run starts; `run` is its id, which the undo history's
//                                        entry names. The same id again starts the run anew: it
//                                        then holds only what follows (the pairs an undo left)
//   PAIR <tab> run <tab> n <tab> dev <tab> ino <tab> size <tab> mtime <tab> btime <tab> old
//        <tab> new                       the run's n-th rename, old to new (full paths), with
//                                        the identity of the file; all the pairs of a run are
//                                        written and synced together before the first rename
//   DONE <tab> run <tab> n / FAILED <tab> run <tab> n
//                                        the n-th rename happened / did not happen; written a
//                                        few hundred at a time and not synced, since each
//                                        rename is made safe by its PAIR line, written before it
//   END <tab> run                        the run is over and its renames and marks are on the
//                                        disk: a pair without a mark was never tried (the run
//                                        was stopped before it)
//   UNDONE <tab> run                     the run has been taken back
//
// A run without END was cut short by a crash: whether each unmarked pair was renamed is told by
// the disk (the old name gone and the new name holding the recorded file: renamed).
//
// Journals of earlier versions are still read, as runs without an id: "RUN2" followed by the
// lines above without their run field, and "RUN", then "MOVE <tab> dev <tab> ino <tab> old
// <tab> new" before each rename, "FAILED" for the MOVE above it, and "UNDONE". A line without a
// run field belongs to the last run without an id.
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

// The size the journal may reach before it is written anew with the newest runs only.
inline constexpr std::size_t kMaxJournalBytes = std::size_t{16} << 20;

// True for a run id as the journal and the undo history write it: 1 to 64 letters, digits, "-"
// or "_".
bool IsRunId(std::string_view text);

enum class PairState { kUnknown, kDone, kFailed };

struct JournalPair {
  platform::FileIdentity id;  // the file as it was before the rename
  std::string old_path;
  std::string new_path;
  bool full_id = true;  // false for an old journal, which kept only the device and the inode
  PairState state = PairState::kUnknown;
};

// The record lines of run `run`, each with its CR LF; for run "" the lines of a run without an
// id ("RUN2" and the lines without a run field).
std::string JournalRunLine(std::string_view run = {});
std::string JournalPairLine(std::size_t index, const JournalPair& pair, std::string_view run = {});
std::string JournalDoneLine(std::size_t index, std::string_view run = {});
std::string JournalFailedLine(std::size_t index, std::string_view run = {});
std::string JournalEndLine(std::string_view run = {});
std::string JournalUndoneLine(std::string_view run = {});

struct JournalRun {
  std::string id;                  // "" for a run of an earlier version's journal
  std::vector<JournalPair> pairs;  // in run order
  bool complete = false;           // the run's END was written
  bool undone = false;
  // A line of the journal cannot be read (other than a last line cut short by a crash): the
  // journal is not trusted at all, nor any run of it.
  bool damaged = false;
};

struct Journal {
  std::vector<JournalRun> runs;  // in the order they were started, the most recent last
  bool damaged = false;          // as for JournalRun; then every run is marked damaged
};

// Every run recorded in the text.
Journal ParseJournal(std::string_view text);
// The last run recorded in the text; nothing when it holds none (and is not damaged).
std::optional<JournalRun> LastJournalRun(std::string_view text);

// The lines that record `run` as it stands, in the form its id calls for.
std::string JournalRunText(const JournalRun& run);

// The run an undo takes back: the one of id `run`; for "" the last run without an id (the run an
// earlier version's history entry means); with nothing, the last run not yet undone that holds
// a pair. Nothing when there is no such run.
std::optional<std::size_t> ChooseRun(const Journal& journal, const std::optional<std::string>& run);

// How lines are added to the journal.
struct JournalWrite {
  bool whole = false;  // `text` replaces the journal (written atomically); otherwise appended
  std::string text;
  // Runs not yet undone that the new journal no longer holds (not counting a damaged journal's,
  // none of which could be undone).
  std::size_t runs_let_go = 0;
};

// Adds `addition` (whole lines) to the journal `current` (nothing when there is no file, which
// `addition` then makes as it is): it is appended when the journal reads whole, ends in a line
// break and stays within `cap` bytes. Otherwise the journal is written anew with `addition`
// applied: the runs not undone, the newest first as long as they fit within `cap` (the newest
// always), in their order. A damaged journal is let go, and a line cut short by a crash is dropped.
JournalWrite PlanJournalWrite(const std::optional<std::string>& current,
                              const std::string& addition, std::size_t cap);

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

// The pairs of every run that leave their directory, most recent first: a journal with one is
// not trusted for any run.
std::vector<LeftPair> StrayPairs(const Journal& journal);

// Decides what taking `run` back may do. A run renames inside one directory: a journal with a
// pair that leaves its directory (or a damaged journal) is refused as a whole. A pair is renamed
// back only when the file under its new name is still the file the run renamed and nothing
// holds its old name; a pair whose rename never happened (a crash or a stop before it) is
// passed over without a word, as is an unmarked pair of a complete run, which was never tried.
UndoPlan PlanUndo(const JournalRun& run, const IdentityOf& identity_of);

}  // namespace tools
