// A large file written through the atomic writer goes to the disk while it is written: what lies
// well behind the end is already written out and no longer held in the page cache, so the
// final sync has little left to do.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

// The share of the pages of the first `length` bytes of `path` held in the page cache.
double ResidentShare(const std::string& path, std::size_t length) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  void* map = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  if (map == MAP_FAILED) return -1;
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> resident((length + page - 1) / page);
  const bool ok = mincore(map, length, resident.data()) == 0;
  munmap(map, length);
  if (!ok) return -1;
  std::size_t count = 0;
  for (const unsigned char r : resident) count += r & 1;
  return static_cast<double>(count) / static_cast<double>(resident.size());
}

TEST(WriteBack, ALargeFileLeavesThePageCacheWhileItIsWritten) {
  TempDir dir;
  struct statfs fs;
  ASSERT_EQ(statfs(dir.Path().c_str(), &fs), 0);
  if (fs.f_type == TMPFS_MAGIC) GTEST_SKIP() << "a tmpfs has no disk to write back to";

  constexpr std::size_t kPiece = std::size_t{1} << 20;
  constexpr int kPieces = 48;
  std::string piece(kPiece, '\0');
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(dir.Slash() + "big.txt"));
  for (int i = 0; i < kPieces; ++i) {
    piece.assign(kPiece, static_cast<char>('a' + i % 26));
    ASSERT_TRUE(writer.Write(piece));
  }
  std::string temporary;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    temporary = entry.path().string();
  }
  ASSERT_FALSE(temporary.empty());
  EXPECT_LT(ResidentShare(temporary, 8 * kPiece), 0.1);
  EXPECT_GE(ResidentShare(temporary, 8 * kPiece), 0.0);
  ASSERT_TRUE(writer.Commit());

  // The file is whole and in place, its pieces in order.
  const std::string path = dir.Slash() + "big.txt";
  ASSERT_EQ(std::filesystem::file_size(path), kPieces * kPiece);
  const auto text = ReadWholeFile(path);
  ASSERT_TRUE(text);
  for (int i = 0; i < kPieces; ++i) {
    ASSERT_EQ(text->substr(i * kPiece, kPiece),
              std::string(kPiece, static_cast<char>('a' + i % 26)))
        << "piece " << i;
  }
}

}  // namespace
}  // namespace platform
