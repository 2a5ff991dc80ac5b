// Copies of sparse files: data is copied only where the source has data, every copy path keeps
// the holes, and a clone on a file system that shares blocks takes no new data blocks at all.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/fault_plan.h"
#include "platform/file_ops.h"
#include "support/fault_plans.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

struct Piece {
  std::int64_t offset;
  std::int64_t size;
};

// Makes a file of `size` bytes that holds data only in `pieces` (each filled with a pattern of
// its own); the rest are holes.
void MakeSparse(const std::string& path, std::int64_t size, const std::vector<Piece>& pieces) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0640);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, size), 0);
  for (const Piece& piece : pieces) {
    std::string data(static_cast<std::size_t>(piece.size), '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
      data[i] = static_cast<char>(piece.offset + i * 13 + 1);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), piece.offset),
              static_cast<ssize_t>(data.size()));
  }
  ASSERT_EQ(close(fd), 0);
  const struct timespec times[2] = {{1111111111, 0}, {1222222222, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

// Both files can be read and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream in_a(a, std::ios::binary);
  std::ifstream in_b(b, std::ios::binary);
  if (!in_a || !in_b) return false;
  std::vector<char> block_a(std::size_t{1} << 20);
  std::vector<char> block_b(block_a.size());
  for (;;) {
    in_a.read(block_a.data(), static_cast<std::streamsize>(block_a.size()));
    in_b.read(block_b.data(), static_cast<std::streamsize>(block_b.size()));
    if (in_a.gcount() != in_b.gcount()) return false;
    if (!std::equal(block_a.begin(), block_a.begin() + in_a.gcount(), block_b.begin()))
      return false;
    if (in_a.gcount() == 0) return true;
  }
}

// The copy of `src` at `dst` has its bytes, size, mode and time, and no more disk blocks.
void ExpectFaithfulSparseCopy(const std::string& src, const std::string& dst) {
  const struct stat from = StatOf(src);
  const struct stat to = StatOf(dst);
  EXPECT_EQ(to.st_size, from.st_size);
  EXPECT_LE(to.st_blocks, from.st_blocks) << "holes were filled";
  EXPECT_EQ(to.st_mode & 07777, 0640u);
  EXPECT_EQ(to.st_mtime, 1222222222);
  EXPECT_TRUE(SameBytes(src, dst)) << "the contents differ";
}

// The file systems of two paths differ.
bool OnAnotherFileSystem(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev != sb.st_dev;
}

TEST(SparseCopy, EveryCopyPathKeepsTheHoles) {
  const std::vector<std::pair<const char*, std::vector<Piece>>> layouts = {
      {"holes only", {}},
      {"data at the start", {{0, 64 * 1024}}},
      {"data at the end", {{24 * kMiB - 8192, 8192}}},
      {"data in between", {{kMiB, 4096}, {5 * kMiB, 3 * 4096}, {20 * kMiB, kMiB}}},
  };
  const std::string shm = "/dev/shm/bwtest_sparse_" + std::to_string(getpid());
  struct Path {
    const char* what;
    std::function<bool(const std::string& src, const std::string& dst)> copy;
    bool moves;
  };
  const std::vector<Path> paths = {
      {"copy that waits for the disk", CopyFileNoReplace, false},
      {"copy of the copy windows",
       [](const std::string& src, const std::string& dst) {
         return CopyFileReporting(src, dst, {}) == CopyOutcome::kCopied;
       },
       false},
      {"copy under an armed fault plan",
       [](const std::string& src, const std::string& dst) {
         faults::Scoped plan(test_faults::FullDiskAfter(std::int64_t{1} << 40));
         return CopyFileReporting(src, dst, {}) == CopyOutcome::kCopied;
       },
       false},
      {"move to another file system", MoveFileNoReplace, true},
  };
  for (const auto& [what, pieces] : layouts) {
    for (const Path& path : paths) {
      SCOPED_TRACE(std::string(what) + ", " + path.what);
      TempDir dir;
      const std::string src = dir.Slash() + "sparse.img";
      MakeSparse(src, 24 * kMiB, pieces);
      std::string dst = dir.Slash() + "copy.img";
      if (path.moves) {
        if (!OnAnotherFileSystem(dir.Path(), "/dev/shm")) continue;
        dst = shm;
        unlink(dst.c_str());
        const std::string keep = dir.Slash() + "original.img";
        MakeSparse(keep, 24 * kMiB, pieces);
        ASSERT_TRUE(path.copy(src, dst));
        EXPECT_FALSE(dir.Exists("sparse.img"));
        ExpectFaithfulSparseCopy(keep, dst);
        unlink(dst.c_str());
        continue;
      }
      ASSERT_TRUE(path.copy(src, dst));
      ExpectFaithfulSparseCopy(src, dst);
    }
  }
}

TEST(SparseCopy, AFaultBetweenTheDataPiecesLeavesNoTarget) {
  TempDir dir;
  const std::string src = dir.Slash() + "sparse.img";
  MakeSparse(src, 64 * kMiB, {{0, 4096}, {8 * kMiB, 4096}, {40 * kMiB, 4096}});
  const std::string dst = dir.Slash() + "copy.img";
  for (const auto& plan : {test_faults::FullDiskAfter(6000), test_faults::ReadErrorAfter(6000)}) {
    {
      faults::Scoped faults(plan);
      EXPECT_FALSE(CopyFileNoReplace(src, dst));
    }
    EXPECT_FALSE(dir.Exists("copy.img"));
  }
}

constexpr int kCannotMount = 77;

// A small XFS image that shares blocks between files, mounted in a private mount namespace of a
// child process, where a copy must be a clone: the copy takes no blocks of its own. Skips where the
// image cannot be made or mounted.
TEST(SparseCopy, CopyOnAFileSystemThatSharesBlocksIsAClone) {
  TempDir dir;
  const std::string image = dir.Slash() + "xfs.img";
  const std::string mount_point = dir.CreateDir("mnt");
  const std::string make = "truncate -s 320M '" + image + "' && mkfs.xfs -q -m reflink=1 '" +
                           image + "' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) GTEST_SKIP() << "mkfs.xfs cannot make an image here";
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string mount_it = "mount -o loop '" + image + "' '" + mount_point + "' 2>/dev/null";
    if (unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        std::system(mount_it.c_str()) != 0) {
      _exit(kCannotMount);
    }
    const std::string src = mount_point + "/data.bin";
    MakeSparse(src, 32 * kMiB, {{0, 16 * kMiB}, {16 * kMiB, 16 * kMiB}});
    const std::string dst = mount_point + "/clone.bin";
    const auto free_bytes = [&] {
      struct statvfs fs {};
      statvfs(mount_point.c_str(), &fs);
      return static_cast<std::int64_t>(fs.f_bfree) * static_cast<std::int64_t>(fs.f_frsize);
    };
    sync();
    const std::int64_t before = free_bytes();
    EXPECT_EQ(CopyFileReporting(src, dst, {}), CopyOutcome::kCopied);
    sync();
    EXPECT_LT(before - free_bytes(), 4 * kMiB) << "the copy took blocks of its own";
    EXPECT_EQ(StatOf(dst).st_size, 32 * kMiB);
    EXPECT_EQ(StatOf(dst).st_mtime, 1222222222);
    EXPECT_TRUE(SameBytes(src, dst)) << "the contents differ";
    EXPECT_TRUE(CopyFileNoReplace(src, mount_point + "/durable.bin"));
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotMount) GTEST_SKIP() << "an XFS image cannot be mounted here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child failed (see its output above)";
}

}  // namespace
