// Named pipes and huge files met by batch runs: nothing waits for a writer, nothing runs out of
// memory, and the run says what it skipped or refused.

#include <gtest/gtest.h>
#include <sys/stat.h>
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
