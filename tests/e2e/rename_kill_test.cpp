// A numbering run killed at any moment can still be taken back exactly from its journal.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

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
    while (!fs::exists(journal) && waitpid(pid, &status, WNOHANG) == 0) usleep(200);
    usleep(delay_us);
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);

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

}  // namespace
