#include "tools/rename_journal_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {
namespace {

JournalPair Pair(std::uint64_t inode, std::string old_path, std::string new_path) {
  JournalPair pair;
  pair.id = {7, inode, 10, 1000 + static_cast<std::int64_t>(inode), 500};
  pair.old_path = std::move(old_path);
  pair.new_path = std::move(new_path);
  return pair;
}

TEST(RenameJournalRules, PairsComeBackAsWrittenWhateverBytesThePathsHold) {
  const JournalPair odd =
      Pair(123456789012345ULL, std::string("/d/a\tb\\c\r\nd\xff", 13), "/d/n 1");
  const JournalPair plain = Pair(2, "/d/x", "/d/0_x");
  const std::string text = JournalRunLine() + JournalPairLine(0, odd) + JournalPairLine(1, plain) +
                           JournalDoneLine(0) + JournalFailedLine(1);
  const auto run = LastJournalRun(text);
  ASSERT_TRUE(run);
  EXPECT_FALSE(run->damaged);
  ASSERT_EQ(run->pairs.size(), 2u);
  EXPECT_EQ(run->pairs[0].old_path, odd.old_path);
  EXPECT_EQ(run->pairs[0].new_path, odd.new_path);
  EXPECT_EQ(run->pairs[0].id, odd.id);
  EXPECT_EQ(run->pairs[0].state, PairState::kDone);
  EXPECT_EQ(run->pairs[1].new_path, "/d/0_x");
  EXPECT_EQ(run->pairs[1].state, PairState::kFailed);
  EXPECT_FALSE(run->undone);
  // One record per line, whatever the paths hold.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST(RenameJournalRules, OldJournalsAreStillReadAndDamagedOnesAreNotTrusted) {
  const std::string older = "RUN\r\nMOVE\t1\t1\t/d/a\t/d/0_a\r\nUNDONE\r\n";
  const std::string last =
      "RUN\r\nMOVE\t1\t1\t/d/a\t/d/0_a\r\nMOVE\t1\t2\t/d/b\t/d/1_b\r\nFAILED\r\n"
      "MOVE\t1\t3\t/d/c\t/d/2_c\r\n";
  // A crash in the middle of the last line leaves a line that is passed over.
  const auto run = LastJournalRun(older + last + "MOVE\t1\t4\t/d/");
  ASSERT_TRUE(run);
  EXPECT_FALSE(run->damaged);
  ASSERT_EQ(run->pairs.size(), 2u);
  EXPECT_EQ(run->pairs[0].old_path, "/d/a");
  EXPECT_EQ(run->pairs[1].old_path, "/d/c");
  EXPECT_EQ(run->pairs[1].id.inode, 3u);
  EXPECT_FALSE(run->pairs[1].full_id);
  EXPECT_TRUE(LastJournalRun(older)->undone);
  EXPECT_FALSE(LastJournalRun(""));

  for (const char* damaged : {
           "MOVE\t1\t1\t/a\t/b\r\n",                                  // no run started
           "RUN\r\nMOVE\t1\tx\t/a\t/b\r\n",                           // no number
           "RUN\r\nMOVE\t1\t1\t/a\\q\t/b\r\nMOVE\t1\t2\t/a\t/c\r\n",  // a bad escape
           "RUN2\r\nPAIR\t1\t7\t1\t0\t0\t0\t/a\t/b\r\n",              // pairs out of order
           "RUN2\r\nPAIR\t0\t7\t1\t0\t0\t0\t/a\t/b\r\nDONE\t3\r\n",   // a mark for no pair
       }) {
    const auto read = LastJournalRun(damaged);
    ASSERT_TRUE(read) << damaged;
    EXPECT_TRUE(read->damaged) << damaged;
  }
}

// The disk as PlanUndo sees it: path -> identity.
struct Disk {
  std::map<std::string, platform::FileIdentity> files;
  IdentityOf Lookup() const {
    return [this](const std::string& path) -> std::optional<platform::FileIdentity> {
      const auto it = files.find(path);
      if (it == files.end()) return std::nullopt;
      return it->second;
    };
  }
};

TEST(PlanUndo, RenamesBackOnlyTheFilesTheRunRenamed) {
  struct Case {
    const char* what;
    PairState state;
    bool at_new;         // the renamed file is under the new name
    bool at_old;         // the file is (still) under the old name
    int change;          // 0 the same file; 1 a new inode; 2 same inode, other birth; 3 other size
    const char* expect;  // "back", "skip" or the reason it is left
  };
  const Case cases[] = {
      {"done", PairState::kDone, true, false, 0, "back"},
      {"unmarked, renamed before a crash", PairState::kUnknown, true, false, 0, "back"},
      {"unmarked, never renamed", PairState::kUnknown, false, true, 0, "skip"},
      {"failed", PairState::kFailed, false, true, 0, "skip"},
      {"replaced by another file", PairState::kDone, true, false, 1, "has changed since the run"},
      {"inode reused at once", PairState::kDone, true, false, 2, "has changed since the run"},
      {"written to since", PairState::kDone, true, false, 3, "has changed since the run"},
      {"gone", PairState::kDone, false, false, 0, "has changed since the run"},
      {"old name taken", PairState::kDone, true, true, 0, "its old name is taken"},
  };
  for (const Case& c : cases) {
    JournalRun run;
    run.pairs.push_back(Pair(5, "/d/a.txt", "/d/0_a"));
    run.pairs[0].state = c.state;
    Disk disk;
    platform::FileIdentity now = run.pairs[0].id;
    if (c.change == 1) now.inode = 6;
    if (c.change == 2) now.btime_ns += 1;
    if (c.change == 3) now.size += 1;
    if (c.at_new) disk.files["/d/0_a"] = now;
    if (c.at_old) disk.files["/d/a.txt"] = c.at_new ? Pair(9, "", "").id : run.pairs[0].id;
    const UndoPlan plan = PlanUndo(run, disk.Lookup());
    EXPECT_FALSE(plan.refused) << c.what;
    const std::string got = !plan.rename_back.empty() ? "back"
                            : !plan.left.empty()      ? plan.left[0].why
                                                      : "skip";
    EXPECT_EQ(got, c.expect) << c.what;
  }
}

// A run of three pairs (the second finds its name taken) cut by a crash after each kind of
// record: taking it back must restore exactly the names the run changed, whether or not the
// last rename before the crash got its mark.
TEST(PlanUndo, ACrashAfterAnyRecordIsTakenBackExactly) {
  const JournalPair pairs[] = {Pair(1, "/d/a", "/d/0_a"), Pair(2, "/d/b", "/d/1_b"),
                               Pair(3, "/d/c", "/d/2_c")};
  const platform::FileIdentity taken = Pair(9, "", "").id;  // what holds /d/1_b all along
  std::string pair_lines;
  for (std::size_t i = 0; i < 3; ++i) pair_lines += JournalPairLine(i, pairs[i]);
  const std::string marks0 = JournalDoneLine(0);
  const std::string marks1 = marks0 + JournalFailedLine(1);
  const std::string marks2 = marks1 + JournalDoneLine(2);
  struct Case {
    const char* what;
    std::string after_run;     // the journal after its RUN2 line
    std::vector<int> renamed;  // the pairs renamed on disk when it stopped
    std::vector<int> back;     // the pairs to rename back, most recent first
  };
  const Case cases[] = {
      {"cut in the pairs", pair_lines.substr(0, 30), {}, {}},
      {"after the pairs", pair_lines, {}, {}},
      {"after the pairs, first renamed", pair_lines, {0}, {0}},
      {"after DONE", pair_lines + marks0, {0}, {0}},
      {"after FAILED", pair_lines + marks1, {0}, {0}},
      {"after FAILED, last renamed", pair_lines + marks1, {0, 2}, {2, 0}},
      {"in the last mark", pair_lines + marks1 + "DO", {0, 2}, {2, 0}},
      {"after the last mark", pair_lines + marks2, {0, 2}, {2, 0}},
      {"in END", pair_lines + marks2 + "EN", {0, 2}, {2, 0}},
      {"after END", pair_lines + marks2 + JournalEndLine(), {0, 2}, {2, 0}},
      {"stopped after the first", pair_lines + marks0 + JournalEndLine(), {0}, {0}},
      {"after UNDONE", pair_lines + marks2 + JournalEndLine() + JournalUndoneLine(), {}, {}},
  };
  for (const Case& c : cases) {
    Disk disk;
    disk.files["/d/1_b"] = taken;
    for (int i = 0; i < 3; ++i) {
      const bool renamed = std::count(c.renamed.begin(), c.renamed.end(), i) > 0;
      disk.files[renamed ? pairs[i].new_path : pairs[i].old_path] = pairs[i].id;
    }
    // A stopped run's untried file may be written to afterwards: still not the run's business.
    if (c.renamed.size() == 1) disk.files["/d/c"].size += 1;
    const auto run = LastJournalRun(JournalRunLine() + c.after_run);
    ASSERT_TRUE(run) << c.what;
    EXPECT_FALSE(run->damaged) << c.what;
    const UndoPlan plan = PlanUndo(*run, disk.Lookup());
    EXPECT_FALSE(plan.refused) << c.what;
    std::vector<int> back;
    for (const JournalPair& pair : plan.rename_back)
      back.push_back(static_cast<int>(pair.id.inode) - 1);
    EXPECT_EQ(back, c.back) << c.what;
    // Nothing is left with a warning, but a stopped run's later change if it was not complete.
    const bool crash_after_change = c.renamed.size() == 1 && !run->complete;
    EXPECT_EQ(plan.left.size(), crash_after_change ? 1u : 0u) << c.what;
  }
  // A mark cut short is not read, even where what is left reads as one ("DONE\t1" of "DONE\t12").
  const auto cut_mark = LastJournalRun(JournalRunLine() + pair_lines + marks1 + "DONE\t1");
  EXPECT_EQ(cut_mark->pairs[1].state, PairState::kFailed);
  // The old journals' marks stay what they were: a run of them is never complete.
  EXPECT_FALSE(LastJournalRun("RUN\r\nMOVE\t1\t1\t/d/a\t/d/0_a\r\n")->complete);
}

TEST(PlanUndo, RefusesAJournalThatLeavesItsDirectoryAsAWhole) {
  for (const auto& [old_path, new_path] : std::vector<std::pair<std::string, std::string>>{
           {"/x/victim/secret.txt", "/y/elsewhere/stolen.txt"},
           {"/d/a", "/d/sub/a"},
           {"relative/a", "relative/b"},
           {"/d/../etc/a", "/d/../etc/b"},
           {"/d/a", "/d/.."},
       }) {
    JournalRun run;
    run.pairs.push_back(Pair(1, "/d/fine", "/d/0_fine"));
    run.pairs.push_back(Pair(2, old_path, new_path));
    for (JournalPair& pair : run.pairs) pair.state = PairState::kDone;
    Disk disk;
    disk.files["/d/0_fine"] = run.pairs[0].id;
    disk.files[new_path] = run.pairs[1].id;
    const UndoPlan plan = PlanUndo(run, disk.Lookup());
    EXPECT_TRUE(plan.refused) << old_path;
    EXPECT_TRUE(plan.rename_back.empty()) << old_path;
    ASSERT_EQ(plan.left.size(), 1u) << old_path;
    EXPECT_EQ(plan.left[0].pair.old_path, old_path);
  }
  JournalRun damaged;
  damaged.damaged = true;
  EXPECT_TRUE(PlanUndo(damaged, Disk{}.Lookup()).refused);
}

// The runs of a journal text in order, as "id:pairs" with "u" for undone, "c" for complete and
// "!" for damaged; an id-less run shows as "-".
std::string Runs(std::string_view text) {
  const Journal journal = ParseJournal(text);
  std::string out;
  for (const JournalRun& run : journal.runs) {
    out += (out.empty() ? "" : " ") + (run.id.empty() ? "-" : run.id) + ":" +
           std::to_string(run.pairs.size()) + (run.undone ? "u" : "") + (run.complete ? "c" : "");
  }
  return journal.damaged ? out + " !" : out;
}

TEST(RenameJournalRules, ManyRunsAreAddedMarkedKeptAndCutDownWithoutTouchingEachOther) {
  const JournalPair a = Pair(1, "/d/a", "/d/0_a");
  const JournalPair b = Pair(2, "/d/b", "/d/1_b");
  auto run = [](std::string id, std::vector<JournalPair> pairs, bool complete = true) {
    JournalRun r;
    r.id = std::move(id);
    r.pairs = std::move(pairs);
    r.complete = complete;
    return JournalRunText(r);
  };
  const std::string old_run = "RUN2\r\n" + JournalPairLine(0, a) + JournalEndLine();
  const std::string r1 = run("r1", {a, b});
  const std::string r2 = run("r2", {b}, false);
  const std::string r3 = run("r3", {a});
  // r2's marks come after r3 started (another instance of the program): each finds its run.
  const std::string both = r1 + r2 + r3 + JournalDoneLine(0, "r2") + JournalEndLine("r2");
  const std::string cut = r1 + "DONE\tr1\t1";  // a crash in a mark
  struct Case {
    const char* what;
    std::optional<std::string> current;
    std::string addition;
    std::size_t cap;
    bool whole;          // the journal written anew
    const char* runs;    // the journal after, as Runs() shows it
    std::size_t let_go;  // runs not undone that it no longer holds
  };
  const Case cases[] = {
      {"the first run makes the file", std::nullopt, r1, kMaxJournalBytes, true, "r1:2c", 0},
      {"the first addition is written as it is", std::nullopt, r1 + JournalUndoneLine("r1"), 1,
       true, "r1:2uc", 0},
      {"a run is appended", r1, r2, kMaxJournalBytes, false, "r1:2c r2:1", 0},
      {"marks find their runs", both, "", kMaxJournalBytes, false, "r1:2c r2:1c r3:1c", 0},
      {"one run marked undone", both, JournalUndoneLine("r1"), kMaxJournalBytes, false,
       "r1:2uc r2:1c r3:1c", 0},
      {"the pairs an undo left", both, run("r1", {b}), kMaxJournalBytes, false, "r1:1c r2:1c r3:1c",
       0},
      {"an old journal goes on", old_run, r1 + JournalUndoneLine(), kMaxJournalBytes, false,
       "-:1uc r1:2c", 0},
      {"cut down to the newest", both, run("r4", {a}), r3.size() + r3.size(), true, "r3:1c r4:1c",
       2},
      {"the newest kept whatever its size", r1, r2, 1, true, "r2:1", 1},
      {"undone runs go first", r1 + JournalUndoneLine("r1") + r3, r2, r1.size() + r3.size(), true,
       "r3:1c r2:1", 0},
      {"a cut mark is dropped", cut, r2, kMaxJournalBytes, true, "r1:2c r2:1", 0},
      {"a damaged journal is let go", r1 + "nonsense\r\n" + r3, r2, kMaxJournalBytes, true, "r2:1",
       0},
  };
  for (const Case& c : cases) {
    const JournalWrite write = PlanJournalWrite(c.current, c.addition, c.cap);
    EXPECT_EQ(write.whole, c.whole) << c.what;
    const std::string after = write.whole ? write.text : c.current.value_or("") + write.text;
    EXPECT_EQ(Runs(after), c.runs) << c.what;
    EXPECT_EQ(write.runs_let_go, c.let_go) << c.what;
  }

  const Journal journal = ParseJournal(both + JournalUndoneLine("r3"));
  EXPECT_EQ(ChooseRun(journal, std::nullopt), 1u);  // the last not undone
  EXPECT_EQ(ChooseRun(journal, "r3"), 2u);          // named, undone or not
  EXPECT_EQ(ChooseRun(journal, "r9"), std::nullopt);
  EXPECT_EQ(ChooseRun(ParseJournal(old_run + r1), ""), 0u);  // an old history's entry
  EXPECT_EQ(ChooseRun(ParseJournal(r1 + JournalUndoneLine("r1")), std::nullopt), std::nullopt);
  EXPECT_EQ(journal.runs[1].pairs[0].state, PairState::kDone);
  EXPECT_EQ(journal.runs[0].pairs[1].new_path, "/d/1_b");

  // A damaged line anywhere refuses every run, and so does a pair of any run leaving its
  // directory.
  for (const std::string& damaged : {r1 + "DONE\tr9\t0\r\n" + r3,  // a run never started
                                     r1 + "DONE\tr1\t5\r\n",       // a mark for no pair
                                     "RUN3\tbad id\r\n" + r1, "END\r\n" + r1}) {
    const Journal read = ParseJournal(damaged);
    EXPECT_TRUE(read.damaged) << damaged;
    for (const JournalRun& r : read.runs) EXPECT_TRUE(PlanUndo(r, Disk{}.Lookup()).refused);
  }
  const std::string stray = run("r5", {Pair(9, "/etc/passwd", "/d/p")});
  EXPECT_EQ(StrayPairs(ParseJournal(r1 + stray + r3)).size(), 1u);
  EXPECT_TRUE(StrayPairs(journal).empty());
  EXPECT_TRUE(IsRunId("0f3a-_Z") && !IsRunId("") && !IsRunId("a b") &&
              !IsRunId(std::string(65, 'a')));
}

}  // namespace
}  // namespace tools
