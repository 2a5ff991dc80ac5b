// A numbering run killed at any moment can still be taken back exactly from its journal.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "support/batch_run.h"
#include "tools/rename_journal_rules.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// Starts the program on `script` and kills it once `started` says the journal text shows the
// moment to wait for, and `delay_us` after that.
void KillWhen(const ProgramDir& prog, const std::string& script,
              const std::function<bool(const std::string& journal)>& started, int delay_us) {
  const std::string journal = prog.Slash() + tools::kJournalFileName;
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const std::string exe = prog.Slash() + "brackwell";
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execl(exe.c_str(), exe.c_str(), "-NOLOGO", "-BATCH", script.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  while (!started(platform::ReadWholeFile(journal).value_or("")) &&
         waitpid(pid, &status, WNOHANG) == 0) {
    usleep(200);
  }
  usleep(delay_us);
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

// Renames back what the plan of the journal's run `index` says; returns the pairs it leaves.
std::vector<tools::LeftPair> TakeBack(const tools::Journal& journal, std::size_t index) {
  EXPECT_FALSE(journal.damaged);
  const tools::UndoPlan plan = tools::PlanUndo(journal.runs.at(index), platform::GetFileIdentity);
  EXPECT_FALSE(plan.refused);
  for (const tools::JournalPair& pair : plan.rename_back) {
    EXPECT_TRUE(platform::RenameWithinFileSystem(pair.new_path, pair.old_path));
  }
  return plan.left;
}

TEST(RenameKill, ARunKilledPartWayIsTakenBackExactly) {
  constexpr int kFiles = 3000;
  // Killed as soon as the journal is there, and a few moments into the renames.
  for (const int delay_us : {0, 3000, 20000}) {
    ProgramDir prog;
    const std::string work = prog.MakeDir("rename");
    for (int i = 0; i < kFiles; ++i) prog.Write("rename/f" + std::to_string(i) + ".jpg", "");
    const std::set<std::string> before = Names(work);
    const std::string script = prog.Write(
        "kill.bws", BwScript({"bw_scan_dir(" + work + ")", "bw_sel_all()", "bt_start($NUM_$OFN)"}));
    const std::string journal = prog.Slash() + tools::kJournalFileName;
    KillWhen(
        prog, script, [&](const std::string&) { return fs::exists(journal); }, delay_us);

    const auto text = platform::ReadWholeFile(journal);
    ASSERT_TRUE(text) << delay_us;
    const auto run = tools::LastJournalRun(*text);
    ASSERT_TRUE(run) << delay_us;
    ASSERT_FALSE(run->damaged) << delay_us;
    EXPECT_EQ(run->pairs.size(), static_cast<std::size_t>(kFiles));
    const tools::UndoPlan plan = tools::PlanUndo(*run, platform::GetFileIdentity);
    EXPECT_FALSE(plan.refused);
    EXPECT_TRUE(plan.left.empty()) << plan.left.front().pair.new_path;
    for (const tools::JournalPair& pair : plan.rename_back) {
      EXPECT_TRUE(platform::RenameWithinFileSystem(pair.new_path, pair.old_path));
    }
    EXPECT_EQ(Names(work), before) << delay_us << " us, " << plan.rename_back.size() << " back";
  }
}

TEST(RenameKill, TwoRunsTheSecondKilledPartWayAreBothTakenBack) {
  constexpr int kFiles = 2000;
  ProgramDir prog;
  const std::string work = prog.MakeDir("rename");
  for (int i = 0; i < kFiles; ++i) prog.Write("rename/f" + std::to_string(i) + ".jpg", "");
  const std::set<std::string> before = Names(work);
  const std::string start = "bt_start($NUM_$OFN)";
  const std::string script = prog.Write(
      "kill.bws",
      BwScript({"bw_scan_dir(" + work + ")", "bw_sel_all()", start, "bw_sel_all()", start}));
  const auto second_started = [](const std::string& text) {
    const std::size_t first = text.find("RUN3\t");
    return first != std::string::npos && text.find("RUN3\t", first + 1) != std::string::npos;
  };
  KillWhen(prog, script, second_started, 3000);

  const auto text = platform::ReadWholeFile(prog.Slash() + tools::kJournalFileName);
  ASSERT_TRUE(text);
  const tools::Journal journal = tools::ParseJournal(*text);
  ASSERT_EQ(journal.runs.size(), 2u);
  EXPECT_TRUE(journal.runs[0].complete);
  // The second run's list holds each name twice (the batch list keeps the first run's entries,
  // renamed, and the selection is added again): the second rename of a name finds it gone, and
  // whatever the kill left unmarked of those is told as changed and left alone.
  EXPECT_EQ(journal.runs[1].pairs.size(), 2u * kFiles);
  // The most recent first, as the undo history takes them.
  for (const tools::LeftPair& left : TakeBack(journal, 1)) {
    EXPECT_FALSE(fs::exists(left.pair.new_path)) << left.pair.new_path;
  }
  EXPECT_TRUE(TakeBack(journal, 0).empty());
  EXPECT_EQ(Names(work), before);
}

}  // namespace
