#include "platform/file_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/file_ops.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

std::size_t EntriesIn(const std::string& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(RandomAccessFile, ReadsAnyPartOfAnyFile) {
  TempDir dir;
  const std::string path = dir.CreateFile("f.bin", "0123456789");
  auto file = RandomAccessFile::Open(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file->ReadAt(3, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(file->ReadAt(8, buffer, 16), 2);  // short only at the end
  EXPECT_EQ(file->ReadAt(10, buffer, 16), 0);

  // Beyond 4 GiB: the offsets are 64-bit.
  const std::string sparse = dir.CreateFile("sparse.bin");
  std::filesystem::resize_file(sparse, (std::uintmax_t{5} << 30));
  auto big = RandomAccessFile::Open(sparse);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->Size(), std::int64_t{5} << 30);
  EXPECT_EQ(big->ReadAt((std::int64_t{5} << 30) - 3, buffer, 16), 3);

  EXPECT_FALSE(RandomAccessFile::Open(dir.Path()));  // a directory
  EXPECT_FALSE(RandomAccessFile::Open(dir.Slash() + "missing"));
}

TEST(AtomicFileWriter, ReplacesTheTargetOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir.CreateFile("out.txt", "old");
  chmod(target.c_str(), 0600);
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    EXPECT_TRUE(writer.Write("new "));
    EXPECT_TRUE(writer.Write("text"));
    EXPECT_EQ(dir.Read("out.txt"), "old");  // not yet
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
    EXPECT_TRUE(writer.Commit());
  }
  EXPECT_EQ(dir.Read("out.txt"), "new text");
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // the old file's mode
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  {
    AtomicFileWriter dropped;  // never committed: the temporary file goes, the old file stays
    ASSERT_TRUE(dropped.Open(target));
    EXPECT_TRUE(dropped.Write("half"));
  }
  AtomicFileWriter aborted;
  ASSERT_TRUE(aborted.Open(target));
  aborted.Abort();
  EXPECT_FALSE(aborted.Write("x"));
  EXPECT_FALSE(aborted.Commit());
  EXPECT_EQ(dir.Read("out.txt"), "new text");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  AtomicFileWriter nowhere;
  EXPECT_FALSE(nowhere.Open(dir.Slash() + "no-dir/out.txt"));
  EXPECT_FALSE(nowhere.Open(dir.Path()));  // a directory is never replaced

  // Pieces written at their places, the later one first; the space taken ahead never shows in
  // the file's size.
  AtomicFileWriter placed;
  ASSERT_TRUE(placed.Open(target));
  EXPECT_TRUE(placed.Reserve(std::int64_t{1} << 20));
  EXPECT_TRUE(placed.WriteAt(4, "text"));
  EXPECT_TRUE(placed.WriteAt(0, "all "));
  EXPECT_TRUE(placed.Commit());
  EXPECT_EQ(dir.Read("out.txt"), "all text");
}

}  // namespace
