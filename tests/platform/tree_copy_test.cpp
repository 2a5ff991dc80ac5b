// Folders copied and moved as trees: links stay links, nothing is replaced, a stopped or failed
// copy leaves nothing, and a move across file systems removes only a source copied whole.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/tree_copy.h"
#include "platform/tree_walk.h"
#include "support/temp_dir.h"

namespace {

using platform::TreeOutcome;

// A tree with a nested folder, a read-only folder, a link to a folder, a dangling link and a
// named pipe.
std::string MakeTree(const TempDir& dir) {
  dir.CreateFile("src/a.txt", "alpha");
  dir.CreateFile("src/sub/deep/b.txt", "beta");
  dir.CreateFile("src/locked/c.txt", "gamma");
  const std::string src = dir.Slash() + "src";
  EXPECT_EQ(symlink("sub", (src + "/to_sub").c_str()), 0);
  EXPECT_EQ(symlink("nowhere", (src + "/dangling").c_str()), 0);
  EXPECT_EQ(mkfifo((src + "/pipe").c_str(), 0644), 0);
  EXPECT_EQ(chmod((src + "/locked").c_str(), 0555), 0);
  return src;
}

std::string LinkTarget(const std::string& path) {
  char buffer[256] = {};
  const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
  return n < 0 ? "<not a link>" : std::string(buffer, static_cast<std::size_t>(n));
}

void ExpectCopied(const TempDir& dir, const std::string& to) {
  EXPECT_EQ(dir.Read(to + "/a.txt"), "alpha");
  EXPECT_EQ(dir.Read(to + "/sub/deep/b.txt"), "beta");
  EXPECT_EQ(dir.Read(to + "/locked/c.txt"), "gamma");
  EXPECT_EQ(LinkTarget(dir.Slash() + to + "/to_sub"), "sub");
  EXPECT_EQ(LinkTarget(dir.Slash() + to + "/dangling"), "nowhere");
  struct stat st;
  ASSERT_EQ(stat((dir.Slash() + to + "/locked").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0555u);
}

TEST(TreeCopy, CopiesATreeWithLinksAsLinksAndSkipsWhatIsNoFile) {
  TempDir dir;
  const std::string src = MakeTree(dir);
  const platform::TreeSize size = platform::MeasureTree(src, {});
  EXPECT_EQ(size.files, 5);  // three files, two links
  EXPECT_EQ(size.bytes, 14);

  std::int64_t files = 0, bytes = 0;
  const platform::TreeResult result =
      platform::CopyTree(src, dir.Slash() + "copy", [&](std::int64_t f, std::int64_t b) {
        files = f;
        bytes = b;
        return true;
      });
  EXPECT_EQ(result.outcome, TreeOutcome::kDone);
  EXPECT_EQ(result.skipped, std::vector<std::string>{src + "/pipe"});
  EXPECT_FALSE(dir.Exists("copy/pipe"));
  EXPECT_EQ(files, size.files);
  EXPECT_EQ(bytes, size.bytes);
  ExpectCopied(dir, "copy");

  // A taken name is never merged into or replaced.
  dir.CreateFile("taken/a.txt", "old");
  EXPECT_EQ(platform::CopyTree(src, dir.Slash() + "taken", {}).outcome, TreeOutcome::kFailed);
  EXPECT_EQ(dir.Read("taken/a.txt"), "old");
  EXPECT_TRUE(dir.Exists("taken"));
  chmod((src + "/locked").c_str(), 0755);
  chmod((dir.Slash() + "copy/locked").c_str(), 0755);
}

TEST(TreeCopy, AStoppedOrFailedCopyTakesBackEverythingItMade) {
  TempDir dir;
  const std::string src = MakeTree(dir);
  // Stopped at the third file: the two copied before go too, read-only folder and all.
  for (int stop_at : {1, 3, 5}) {
    int reports = 0;
    const platform::TreeResult result = platform::CopyTree(
        src, dir.Slash() + "copy", [&](std::int64_t, std::int64_t) { return ++reports < stop_at; });
    EXPECT_EQ(result.outcome, TreeOutcome::kStopped) << stop_at;
    EXPECT_FALSE(platform::EntryExists(dir.Slash() + "copy")) << stop_at;
  }
  // A file that cannot be read fails the copy the same way (root reads everything).
  if (geteuid() != 0) {
    dir.CreateFile("src/sub/secret", "s");
    chmod((src + "/sub/secret").c_str(), 0);
    EXPECT_EQ(platform::CopyTree(src, dir.Slash() + "copy", {}).outcome, TreeOutcome::kFailed);
    EXPECT_FALSE(platform::EntryExists(dir.Slash() + "copy"));
    unlink((src + "/sub/secret").c_str());
  }
  chmod((src + "/locked").c_str(), 0755);
}

TEST(TreeCopy, MovesWithinAndAcrossFileSystems) {
  TempDir dir;
  std::string src = MakeTree(dir);
  EXPECT_EQ(platform::MoveTree(src, dir.Slash() + "moved", {}).outcome, TreeOutcome::kDone);
  EXPECT_FALSE(platform::EntryExists(src));
  ExpectCopied(dir, "moved");
  ASSERT_EQ(unlink((dir.Slash() + "moved/pipe").c_str()), 0);
  ASSERT_EQ(chmod((dir.Slash() + "moved/locked").c_str(), 0755), 0);

  // Memory-backed /dev/shm is another file system than the temporary directory.
  char other_fs[] = "/dev/shm/bw-tree-XXXXXX";
  if (mkdtemp(other_fs) == nullptr) GTEST_SKIP() << "no second file system";
  const std::string far = std::string(other_fs) + "/moved";
  EXPECT_EQ(platform::MoveTree(dir.Slash() + "moved", far, {}).outcome, TreeOutcome::kDone);
  EXPECT_FALSE(dir.Exists("moved"));
  EXPECT_EQ(LinkTarget(far + "/to_sub"), "sub");

  // A named pipe is not copied, so the source stays whole beside the copy.
  ASSERT_EQ(mkfifo((far + "/pipe").c_str(), 0644), 0);
  const platform::TreeResult back = platform::MoveTree(far, dir.Slash() + "back", {});
  EXPECT_EQ(back.outcome, TreeOutcome::kSourceKept);
  EXPECT_EQ(dir.Read("back/sub/deep/b.txt"), "beta");
  EXPECT_TRUE(platform::EntryExists(far + "/pipe"));
  EXPECT_EQ(std::system(("rm -rf " + std::string(other_fs)).c_str()), 0);
}

TEST(TreeCopy, TellsAFolderPastedIntoItself) {
  TempDir dir;
  dir.CreateDir("top/sub");
  dir.CreateDir("topper");
  symlink("top/sub", (dir.Slash() + "via").c_str());
  struct Case {
    const char *target_dir, *tree;
    bool within;
  } cases[] = {
      {"top", "top", true},      {"top/sub", "top", true},  {"via", "top", true},
      {"topper", "top", false},  {"top", "top/sub", false}, {"top/sub", "via", false},
      {"top", "missing", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::IsWithinTree(dir.Slash() + c.target_dir, dir.Slash() + c.tree), c.within)
        << c.target_dir << " in " << c.tree;
  }
}

}  // namespace
