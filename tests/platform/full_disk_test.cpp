// A real full disk: a tiny tmpfs mounted in a private mount namespace of a child process, so
// nothing outside the test ever sees it. Where mounting is not allowed (an unprivileged run)
// the test skips; the fault plan covers the same paths everywhere.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

constexpr int kCannotMount = 77;

// Runs every writer against the full disk mounted at `dir`.
void ExerciseWriters(const std::string& dir, const std::string& source, const std::string& big);

TEST(FullDisk, WritersKeepTheOldFileOrLeaveNothingOnARealFullDisk) {
  TempDir outside;  // the source of the copy, on a disk with room
  const std::string big(512 * 1024, 'x');
  const std::string source = outside.CreateFile("big.bin", big);
  TempDir mount_point;
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string dir = mount_point.Path();
    if (unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=128k") != 0) {
      _exit(kCannotMount);
    }
    try {
      ExerciseWriters(dir, source, big);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotMount) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child failed (see its output above)";
}

void ExerciseWriters(const std::string& dir, const std::string& source, const std::string& big) {
  EXPECT_NO_THROW(WriteFileAtomic(dir + "/list.bw", "old\r\n"));
  EXPECT_THROW(WriteFileAtomic(dir + "/list.bw", big), std::runtime_error);
  EXPECT_EQ(ReadWholeFile(dir + "/list.bw"), "old\r\n");

  EXPECT_FALSE(CopyFileNoReplace(source, dir + "/copy.bin"));
  EXPECT_EQ(CopyFileReporting(source, dir + "/copy.bin", {}), CopyOutcome::kFailed);
  EXPECT_FALSE(FileExists(dir + "/copy.bin"));

  {
    AtomicFileWriter writer;
    EXPECT_TRUE(writer.Open(dir + "/dump.txt"));
    EXPECT_FALSE(writer.Write(big));
  }
  EXPECT_FALSE(FileExists(dir + "/dump.txt"));

  // Appending until the disk is full ends on the last whole piece.
  std::size_t appended = 0;
  {
    AppendFile journal(dir + "/renames.bw");
    const std::string piece(1000, 'p');
    while (journal.Append(piece)) appended += piece.size();
  }
  EXPECT_GT(appended, 0u);
  EXPECT_EQ(ReadWholeFile(dir + "/renames.bw")->size(), appended);
  // Once there is room again, the old list can be rewritten whole.
  EXPECT_TRUE(DeleteFile(dir + "/renames.bw"));
  WriteFileAtomic(dir + "/list.bw", "new\r\n");
  EXPECT_EQ(ReadWholeFile(dir + "/list.bw"), "new\r\n");
}

}  // namespace
}  // namespace platform
