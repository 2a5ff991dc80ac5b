// Named pipes and huge files met by batch runs: nothing waits for a writer, nothing runs out of
// memory, and the run says what it skipped or refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/batch_run.h"

using Lines = std::vector<std::string>;

TEST(SpecialFiles, CopySkipsAPipeAndCopiesTheRest) {
  ProgramDir prog;
  const std::string src = prog.MakeDir("src");
  const std::string dst = prog.MakeDir("dst");
  prog.Write("src/a.txt", "a");
  ASSERT_EQ(mkfifo((src + "pipe").c_str(), 0644), 0);
  prog.Write("src/z.txt", "z");
  BatchResult r = prog.RunScript(BwScript({"bw_scan_dir(" + src + ")", "bw_copy(" + dst + ")"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out_lines.begin(), r.out_lines.end(),
                       "> Warning: Skipped \"pipe\": not a file, directory or link"),
            1);
  EXPECT_EQ(std::count(r.out_lines.begin(), r.out_lines.end(), "> Copyed..."), 2);
  EXPECT_EQ(prog.Read("dst/a.txt"), "a");
  EXPECT_EQ(prog.Read("dst/z.txt"), "z");
  EXPECT_FALSE(prog.Exists("dst/pipe"));
}

TEST(SpecialFiles, PipesAndHugeFilesAreRefusedAsScriptsAndTexts) {
  ProgramDir prog;
  const std::string fifo = prog.Slash() + "s.bws";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string huge = prog.Write("huge.txt", "");
  ASSERT_EQ(truncate(huge.c_str(), off_t{1} << 40), 0);

  BatchResult r = prog.Run(fifo);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error: Cannot read \"" + fifo + "\": it is not a regular file"),
            std::string::npos)
      << r.err;

  r = prog.RunScript(BwScript({"cn_read_txtfile(" + huge + ")", "cn_print(alive)",
                               "script(" + fifo + ")", "cn_print(not reached)"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out_lines, (Lines{"> Error: ???", "alive", "> Script file: " + fifo}));
  EXPECT_NE(r.err.find("it is not a regular file"), std::string::npos) << r.err;
}

// A relative script name whose launch directory is gone would otherwise find the program
// directory's script of that name once the directory tree has moved the working directory.
TEST(SpecialFiles, ARelativeScriptFromAVanishedDirectoryIsRefused) {
  ProgramDir prog;
  const std::string marker = prog.Slash() + "ran.txt";
  prog.Write("s.bws", BwScript({"cn_save_data(" + marker + ")"}));
  const std::string gone = prog.MakeDir("gone");
  const std::string exe = prog.Slash() + "brackwell";
  const int err_fd = open((prog.Slash() + "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(err_fd, 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(err_fd, STDERR_FILENO);
    if (chdir(gone.c_str()) != 0 || rmdir(gone.c_str()) != 0) _exit(126);
    execl(exe.c_str(), exe.c_str(), "-NOLOGO", "-BATCH", "s.bws", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(err_fd);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(prog.Exists("ran.txt"));
  EXPECT_NE(prog.Read("err.txt").find("Error: Cannot run \"s.bws\""), std::string::npos)
      << prog.Read("err.txt");
}
