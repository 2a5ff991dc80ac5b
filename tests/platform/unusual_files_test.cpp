// Named pipes, huge files and refused permissions: reads and copies that must neither hang,
// nor exhaust memory, nor lose a file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/test_helpers.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

std::string MakeFifo(const TempDir& dir, const std::string& name) {
  const std::string path = dir.Slash() + name;
  EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
  return path;
}

// A file of `size` bytes that takes no room on disk.
std::string MakeSparse(const TempDir& dir, const std::string& name, off_t size) {
  const std::string path = dir.CreateFile(name);
  EXPECT_EQ(truncate(path.c_str(), size), 0);
  return path;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST(SpecialFiles, WholeFileReadsRefusePipesAndHugeFilesWithAReason) {
  TempDir dir;
  const std::string fifo = MakeFifo(dir, "pipe");
  const std::string huge = MakeSparse(dir, "config.ini", off_t{1} << 40);
  std::string why;
  EXPECT_FALSE(ReadWholeFile(fifo, &why).has_value());
  EXPECT_EQ(why, "Cannot read \"" + fifo + "\": it is not a regular file");
  EXPECT_FALSE(ReadWholeFile(huge, &why).has_value());
  EXPECT_EQ(why, "Cannot read file \"" + huge + "\": it is larger than 64 MB");
  EXPECT_FALSE(ReadWholeFile(dir.Slash() + "missing", &why).has_value());
  EXPECT_TRUE(Contains(why, "Cannot open file \"" + dir.Slash() + "missing\"")) << why;

  // The limit also binds files that report no size, and files exactly at the limit are read.
  EXPECT_FALSE(ReadWholeFile("/proc/self/status", nullptr, 16).has_value());
  const std::string exact = dir.CreateFile("exact", std::string(100, 'x'));
  EXPECT_EQ(ReadWholeFile(exact, nullptr, 100).value_or(""), std::string(100, 'x'));
  EXPECT_FALSE(ReadWholeFile(exact, nullptr, 99).has_value());

  try {
    ReadWholeFileOrThrow(fifo);
    FAIL() << "no error raised";
  } catch (const std::runtime_error& e) {
    EXPECT_TRUE(Contains(e.what(), "not a regular file")) << e.what();
  }
  // Settings read from a huge file give their defaults, and a write never replaces it.
  EXPECT_EQ(ProfileReadString(huge, "Lang", "File", "Russuan.ini"), "Russuan.ini");
  EXPECT_THROW(ProfileWriteString(huge, "fsys", "LastDir", "/"), ProfileWriteError);
  struct stat st;
  ASSERT_EQ(stat(huge.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{1} << 40);
}

TEST(SpecialFiles, CopyAndMoveTakeOnlyFilesDirectoriesAndLinks) {
  TempDir dir;
  const std::string fifo = MakeFifo(dir, "pipe");
  const std::string file = dir.CreateFile("file", "x");
  const std::string sub = dir.CreateDir("sub");
  const std::string link = dir.Slash() + "link";
  ASSERT_EQ(symlink("pipe", link.c_str()), 0);
  const std::string dangling = dir.Slash() + "dangling";
  ASSERT_EQ(symlink("nowhere", dangling.c_str()), 0);

  EXPECT_TRUE(IsFileDirOrLink(file));
  EXPECT_TRUE(IsFileDirOrLink(sub));
  EXPECT_TRUE(IsFileDirOrLink(link));
  EXPECT_TRUE(IsFileDirOrLink(dangling));
  EXPECT_FALSE(IsFileDirOrLink(fifo));
  EXPECT_FALSE(IsFileDirOrLink(dir.Slash() + "missing"));
  EXPECT_FALSE(IsFileDirOrLink("/dev/null"));

  // Each of these would wait for a writer for ever if the pipe were opened for reading.
  EXPECT_FALSE(CopyFileNoReplace(fifo, dir.Slash() + "copy"));
  EXPECT_FALSE(CopyFileNoReplace(link, dir.Slash() + "copy"));
  EXPECT_FALSE(dir.Exists("copy"));
  EXPECT_FALSE(MoveFileNoReplace(fifo, dir.Slash() + "moved"));
  EXPECT_FALSE(dir.Exists("moved"));
  EXPECT_FALSE(IsFileDirOrLink(dir.Slash() + "moved"));
  EXPECT_FALSE(IsFileDirOrLink(dir.Slash() + "copy"));
  EXPECT_FALSE(IsFileDirOrLink(dir.Slash() + "moved"));
  struct stat st;
  EXPECT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(SpecialFiles, AMoveAcrossFileSystemsTakesItsCopyBackWhenTheSourceStays) {
  platform_test::RunUnprivileged([] {
    TempDir dir;
    struct stat here, shm;
    if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &here) != 0 ||
        here.st_dev == shm.st_dev || access("/dev/shm", W_OK) != 0) {
      GTEST_SKIP() << "no writable /dev/shm on a separate file system here";
    }
    const std::string other = "/dev/shm/bwtest_takeback_" + std::to_string(getpid());
    unlink(other.c_str());
    const std::string locked = dir.CreateDir("locked");
    const std::string src = dir.CreateFile("locked/src", "stays");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    // The copy succeeds but the source cannot be removed: the copy goes, nothing is doubled.
    EXPECT_FALSE(MoveFileNoReplace(src, other));
    EXPECT_NE(access(other.c_str(), F_OK), 0) << "the copy was left behind";
    unlink(other.c_str());
    ASSERT_EQ(chmod(locked.c_str(), 0755), 0);
    EXPECT_EQ(dir.Read("locked/src"), "stays");
  });
}

TEST(SpecialFiles, AnExistingButUnreadableSettingsFileIsNeverReplaced) {
  platform_test::RunUnprivileged([] {
    TempDir dir;
    const std::string ini = dir.CreateFile("config.ini", "[Lang]\r\nFile=English.ini\r\n");
    ASSERT_EQ(chmod(ini.c_str(), 0200), 0);
    EXPECT_EQ(ProfileReadString(ini, "Lang", "File", "Russuan.ini"), "Russuan.ini");
    EXPECT_THROW(ProfileWriteString(ini, "fsys", "LastDir", "/"), ProfileWriteError);
    ASSERT_EQ(chmod(ini.c_str(), 0644), 0);
    EXPECT_EQ(dir.Read("config.ini"), "[Lang]\r\nFile=English.ini\r\n");
  });
}

TEST(SpecialFiles, ARelativeNameNeedsAWorkingDirectoryThatCanBeReadBack) {
  EXPECT_EQ(AbsoluteFromWorkingDir("/abs/s.bws"), "/abs/s.bws");
  EXPECT_EQ(AbsoluteFromWorkingDir(""), "");
  EXPECT_EQ(AbsoluteFromWorkingDir("s.bws"), WorkingDir() + "s.bws");

  const std::string before = WorkingDir();
  std::optional<std::string> resolved;
  {
    TempDir dir;
    const std::string gone = dir.CreateDir("gone");
    ASSERT_TRUE(SetWorkingDir(gone));
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    resolved = AbsoluteFromWorkingDir("s.bws");
    ASSERT_TRUE(SetWorkingDir(before));
  }
  EXPECT_FALSE(resolved.has_value()) << *resolved;
}
