// The copy that reports progress, refuses what is not a regular file and can be stopped.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "support/temp_dir.h"
#include "test_helpers.h"

namespace {

using platform::CopyFileReporting;
using platform::CopyOutcome;

TEST(CopyReporting, ReportsGrowingProgressUpToTheSize) {
  TempDir dir;
  const std::string data(3 * 1000 * 1000 + 7, 'x');
  const std::string src = dir.CreateFile("src.bin", data);
  std::vector<std::int64_t> reports;
  EXPECT_EQ(CopyFileReporting(src, dir.Slash() + "dst.bin",
                              [&](std::int64_t copied) {
                                reports.push_back(copied);
                                return true;
                              }),
            CopyOutcome::kCopied);
  EXPECT_EQ(dir.Read("dst.bin"), data);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), static_cast<std::int64_t>(data.size()));
  for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_GT(reports[i], reports[i - 1]);
}

TEST(CopyReporting, StoppedCopyLeavesNoTarget) {
  TempDir dir;
  // Sparse, so that it is large without taking disk space, with a little data every 16 MiB so
  // that the copy has something to report: it is stopped at the second report, long before the
  // end.
  const std::string src = dir.Slash() + "big.bin";
  {
    const int fd = open(src.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, std::int64_t{1} << 30), 0);
    for (std::int64_t at = 0; at < (std::int64_t{1} << 30); at += std::int64_t{16} << 20) {
      ASSERT_EQ(pwrite(fd, "data", 4, at), 4);
    }
    close(fd);
  }
  int reports = 0;
  EXPECT_EQ(
      CopyFileReporting(src, dir.Slash() + "half.bin", [&](std::int64_t) { return ++reports < 2; }),
      CopyOutcome::kStopped);
  EXPECT_EQ(reports, 2);
  EXPECT_FALSE(dir.Exists("half.bin"));
}

TEST(CopyReporting, NamedPipesAndDirectoriesAreRefusedWithoutWaiting) {
  TempDir dir;
  const std::string fifo = dir.Slash() + "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  // Nobody writes into the pipe: a copy that opened it for reading would wait for ever.
  EXPECT_EQ(CopyFileReporting(fifo, dir.Slash() + "pipe_copy", {}), CopyOutcome::kNotRegular);
  EXPECT_FALSE(dir.Exists("pipe_copy"));
  EXPECT_FALSE(platform::CopyFileNoReplace(fifo, dir.Slash() + "pipe_copy"));
  const std::string sub = dir.CreateDir("sub");
  EXPECT_EQ(CopyFileReporting(sub, dir.Slash() + "sub_copy", {}), CopyOutcome::kNotRegular);
  EXPECT_EQ(CopyFileReporting(dir.Slash() + "missing", dir.Slash() + "m", {}),
            CopyOutcome::kFailed);
}

TEST(CopyReporting, ExistingTargetFailsUntouched) {
  TempDir dir;
  const std::string src = dir.CreateFile("a", "new");
  const std::string dst = dir.CreateFile("b", "old");
  EXPECT_EQ(CopyFileReporting(src, dst, {}), CopyOutcome::kFailed);
  EXPECT_EQ(dir.Read("b"), "old");
}

}  // namespace
