#include "platform/file_ops.h"
#include "platform/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/test_helpers.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::size_t EntriesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(FileOps, ExistenceTestsTellFilesFromDirectories) {
  TempDir dir;
  std::string file = dir.CreateFile("f", "abc");
  std::string sub = dir.CreateDir("d");
  ASSERT_EQ(symlink(sub.c_str(), (dir.Slash() + "to_dir").c_str()), 0);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(sub));
  EXPECT_FALSE(FileExists(dir.Slash() + "none"));
  EXPECT_TRUE(DirectoryExists(sub));
  EXPECT_TRUE(DirectoryExists(dir.Slash() + "to_dir"));
  EXPECT_FALSE(DirectoryExists(file));
  ASSERT_TRUE(StatFile(file).has_value());
  EXPECT_EQ(StatFile(file)->size, 3);
  EXPECT_FALSE(StatFile(sub).has_value());
  EXPECT_FALSE(StatFile(dir.Slash() + "none").has_value());
}

TEST(FileOps, CopyKeepsContentModeAndTime) {
  TempDir dir;
  std::string data(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 251);
  std::string src = dir.CreateFile("src.bin", data);
  ASSERT_EQ(chmod(src.c_str(), 0751), 0);
  const struct timespec times[2] = {{1111111111, 0}, {1222222222, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, src.c_str(), times, 0), 0);

  EXPECT_TRUE(CopyFileNoReplace(src, dir.Slash() + "copy.bin"));
  EXPECT_EQ(dir.Read("copy.bin"), data);
  EXPECT_EQ(ModeOf(dir.Slash() + "copy.bin"), 0751u);
  EXPECT_EQ(StatFile(dir.Slash() + "copy.bin")->mtime, 1222222222);
  // Modes the creation mask would cut down are given back whole.
  for (const mode_t mode : {0666u, 0777u, 0400u}) {
    const std::string name = "mode" + std::to_string(mode);
    ASSERT_EQ(chmod(src.c_str(), mode), 0);
    EXPECT_TRUE(CopyFileNoReplace(src, dir.Slash() + name));
    EXPECT_EQ(ModeOf(dir.Slash() + name), mode) << std::oct << mode;
  }

  std::string empty = dir.CreateFile("empty");
  EXPECT_TRUE(CopyFileNoReplace(empty, dir.Slash() + "empty2"));
  EXPECT_EQ(dir.Read("empty2"), "");
}

TEST(FileOps, CopyNeverReplacesATarget) {
  TempDir dir;
  std::string src = dir.CreateFile("src", "new");
  std::string dst = dir.CreateFile("dst", "precious");
  EXPECT_FALSE(CopyFileNoReplace(src, dst));
  EXPECT_EQ(dir.Read("dst"), "precious");
  EXPECT_FALSE(CopyFileNoReplace(src, src));
  EXPECT_EQ(dir.Read("src"), "new");
  // A link at the target is not followed to overwrite what it points to.
  ASSERT_EQ(symlink(dst.c_str(), (dir.Slash() + "link").c_str()), 0);
  EXPECT_FALSE(CopyFileNoReplace(src, dir.Slash() + "link"));
  EXPECT_EQ(dir.Read("dst"), "precious");
}

TEST(FileOps, FailedCopyLeavesNoPartialTarget) {
  TempDir dir;
  std::string src = dir.CreateFile("big", std::string(200000, 'b'));
  {
    // Writing stops part-way, as on a full disk.
    platform_test::FileSizeLimit limit(4096);
    EXPECT_FALSE(CopyFileNoReplace(src, dir.Slash() + "partial"));
  }
  EXPECT_FALSE(dir.Exists("partial"));

  std::string sub = dir.CreateDir("folder");
  dir.CreateFile("folder/inside", "x");
  EXPECT_FALSE(CopyFileNoReplace(sub, dir.Slash() + "folder_copy"));
  EXPECT_FALSE(dir.Exists("folder_copy"));
  EXPECT_FALSE(CopyFileNoReplace(dir.Slash() + "missing", dir.Slash() + "m2"));
  EXPECT_FALSE(dir.Exists("m2"));
  EXPECT_FALSE(CopyFileNoReplace(src, dir.Slash() + "no/dir/target"));
}

TEST(FileOps, CopyIntoReadOnlyDirectoryFails) {
  // Root passes every permission check, so the cases run as an unprivileged user.
  platform_test::RunUnprivileged([] {
    TempDir dir;
    std::string src = dir.CreateFile("big", "data");
    std::string locked = dir.CreateDir("locked");
    chmod(locked.c_str(), 0555);
    EXPECT_FALSE(CopyFileNoReplace(src, locked + "/big"));
    chmod(locked.c_str(), 0755);
    EXPECT_FALSE(dir.Exists("locked/big"));
  });
}

TEST(FileOps, MoveNeverReplacesATarget) {
  TempDir dir;
  std::string src = dir.CreateFile("src", "moving");
  std::string dst = dir.CreateFile("dst", "precious");
  EXPECT_FALSE(MoveFileNoReplace(src, dst));
  EXPECT_EQ(dir.Read("dst"), "precious");
  EXPECT_EQ(dir.Read("src"), "moving");

  EXPECT_TRUE(MoveFileNoReplace(src, dir.Slash() + "renamed"));
  EXPECT_FALSE(dir.Exists("src"));
  EXPECT_EQ(dir.Read("renamed"), "moving");

  // Directories move within a file system too, and never onto an existing one.
  dir.CreateFile("d1/x", "1");
  dir.CreateDir("d2");
  EXPECT_FALSE(MoveFileNoReplace(dir.Slash() + "d1", dir.Slash() + "d2"));
  EXPECT_TRUE(MoveFileNoReplace(dir.Slash() + "d1", dir.Slash() + "d3"));
  EXPECT_EQ(dir.Read("d3/x"), "1");
  EXPECT_FALSE(MoveFileNoReplace(dir.Slash() + "missing", dir.Slash() + "m"));
  EXPECT_FALSE(dir.Exists("m"));
}

TEST(FileOps, MoveAcrossFileSystemsCopiesThenRemovesTheSource) {
  TempDir dir;
  struct stat here, shm;
  if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &here) != 0 ||
      here.st_dev == shm.st_dev) {
    GTEST_SKIP() << "/dev/shm is not a separate file system here";
  }
  std::string other = "/dev/shm/bwtest_move_" + std::to_string(getpid());
  unlink(other.c_str());
  std::string src = dir.CreateFile("src", "across");
  ASSERT_EQ(chmod(src.c_str(), 0640), 0);
  EXPECT_TRUE(MoveFileNoReplace(src, other));
  EXPECT_FALSE(dir.Exists("src"));
  EXPECT_EQ(ReadWholeFile(other).value_or("<missing>"), "across");
  EXPECT_EQ(ModeOf(other), 0640u);

  // An existing target on the other file system stays, and so does the source.
  std::string src2 = dir.CreateFile("src2", "second");
  EXPECT_FALSE(MoveFileNoReplace(src2, other));
  EXPECT_EQ(ReadWholeFile(other).value_or("<missing>"), "across");
  EXPECT_EQ(dir.Read("src2"), "second");
  unlink(other.c_str());
}

TEST(FileOps, DeleteRemovesFilesAndLinksButNeverDirectories) {
  TempDir dir;
  std::string file = dir.CreateFile("f", "x");
  std::string sub = dir.CreateDir("d");
  std::string link = dir.Slash() + "l";
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  EXPECT_TRUE(DeleteFile(link));
  EXPECT_TRUE(dir.Exists("f"));
  EXPECT_FALSE(DeleteFile(sub));
  EXPECT_TRUE(DirectoryExists(sub));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(dir.Exists("f"));
  EXPECT_FALSE(DeleteFile(file));
}

TEST(FileOps, CreateEmptyFileLeavesAnExistingFileAlone) {
  TempDir dir;
  EXPECT_TRUE(CreateEmptyFile(dir.Slash() + "new"));
  EXPECT_EQ(dir.Read("new"), "");
  std::string old = dir.CreateFile("old", "keep me");
  EXPECT_FALSE(CreateEmptyFile(old));
  EXPECT_EQ(dir.Read("old"), "keep me");
  EXPECT_FALSE(CreateEmptyFile(dir.Slash() + "no/dir/file"));
}

TEST(FileOps, AtomicWriteReplacesWholeAndKeepsTheMode) {
  TempDir dir;
  std::string path = dir.Slash() + "out.txt";
  WriteFileAtomic(path, "first");
  EXPECT_EQ(dir.Read("out.txt"), "first");
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(path), 0644u & ~mask);

  // The temporary file is made 0600: the old file's mode must be put on it, whatever it is.
  for (const mode_t mode : {0600u, 0644u, 0755u}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    WriteFileAtomic(path, std::string("second\0with nul", 15));
    EXPECT_EQ(dir.Read("out.txt"), std::string("second\0with nul", 15));
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "a temporary file was left behind";

  // Through a link the file it points to is rewritten; the link stays a link.
  std::string link = dir.Slash() + "link.txt";
  ASSERT_EQ(symlink("out.txt", link.c_str()), 0);
  WriteFileAtomic(link, "third");
  EXPECT_EQ(dir.Read("out.txt"), "third");
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileOps, FailedAtomicWriteKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.CreateFile("keep.txt", "old content");
  {
    platform_test::FileSizeLimit limit(16);
    try {
      WriteFileAtomic(path, std::string(1000, 'n'));
      FAIL() << "no error raised";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
  }
  EXPECT_EQ(dir.Read("keep.txt"), "old content");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "a temporary file was left behind";

  std::string sub = dir.CreateDir("a_dir");
  EXPECT_THROW(WriteFileAtomic(sub, "x"), std::runtime_error);
  EXPECT_TRUE(DirectoryExists(sub));
  EXPECT_THROW(WriteFileAtomic(dir.Slash() + "no/such/file", "x"), std::runtime_error);
}

TEST(FileOps, AtomicWriteRefusesReadOnlyFilesAndDirectories) {
  // Root passes every permission check, so the cases run as an unprivileged user.
  platform_test::RunUnprivileged([] {
    TempDir dir;
    std::string path = dir.CreateFile("keep.txt", "old content");
    chmod(path.c_str(), 0444);
    EXPECT_THROW(WriteFileAtomic(path, "new"), std::runtime_error);
    chmod(path.c_str(), 0644);
    chmod(dir.Path().c_str(), 0555);
    EXPECT_THROW(WriteFileAtomic(path, "new"), std::runtime_error);
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(dir.Read("keep.txt"), "old content");
  });
}

TEST(FileOps, ReadWholeFile) {
  TempDir dir;
  std::string bytes("a\0\xff\r\nb", 6);
  EXPECT_EQ(ReadWholeFile(dir.CreateFile("f", bytes)), bytes);
  EXPECT_EQ(ReadWholeFile(dir.CreateFile("e")), "");
  EXPECT_FALSE(ReadWholeFile(dir.Slash() + "missing").has_value());
  EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
  // Files that report no size still have their contents read.
  auto status = ReadWholeFile("/proc/self/status");
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(status->find("Name:"), std::string::npos);
}

TEST(FileOps, SplitAndJoinLines) {
  using Lines = std::vector<std::string>;
  struct Case {
    const char* text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\r\n", {"one"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\r", {"a", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
  EXPECT_EQ(JoinLinesCrlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLinesCrlf({}), "");
}

}  // namespace
