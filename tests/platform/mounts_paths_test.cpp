#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/mounts.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

TEST(Mounts, ParsedTableLeavesPseudoSystemsAndFilesOutAndDecodesNames) {
  TempDir dir;
  std::string disk = dir.CreateDir("my disk\tone");
  std::string file = dir.CreateFile("hosts", "");
  auto escape = [](std::string text) {
    std::string out;
    for (char c : text) {
      if (c == ' ')
        out += "\\040";
      else if (c == '\t')
        out += "\\011";
      else
        out += c;
    }
    return out;
  };
  std::string table =
      "proc /proc proc rw 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "/dev/sdb1 " +
      escape(disk) +
      " ext4 rw 0 0\n"
      "/dev/sdb1 " +
      escape(disk) +
      " ext4 rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "/dev/sda1 " +
      file +
      " ext4 rw 0 0\n"
      "garbage\n"
      "\n"
      "server:/x /mnt/bw-unreachable-nfs nfs4 rw 0 0\n";
  EXPECT_EQ(ParseMountPoints(table),
            (std::vector<std::string>{"/", disk + "/", "/mnt/bw-unreachable-nfs/"}));
  EXPECT_EQ(ParseMountPoints(""), (std::vector<std::string>{"/"}));
}

TEST(Mounts, SystemMountPointsStartAtTheRoot) {
  std::vector<std::string> points = MountPoints();
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(points.front(), "/");
  std::set<std::string> unique(points.begin(), points.end());
  EXPECT_EQ(unique.size(), points.size());
  for (const std::string& p : points) {
    EXPECT_TRUE(EndsWithDelim(p)) << p;
    EXPECT_NE(p, "/proc/");
    EXPECT_NE(p, "/sys/");
  }
}

TEST(Paths, RootAndDelimiterTests) {
  EXPECT_TRUE(IsRootDir("/"));
  EXPECT_TRUE(IsRootDir("//"));
  EXPECT_FALSE(IsRootDir(""));
  EXPECT_FALSE(IsRootDir("/home/"));
  EXPECT_FALSE(IsRootDir("C:\\"));
  EXPECT_TRUE(EndsWithDelim("/home/"));
  EXPECT_FALSE(EndsWithDelim("/home"));
  EXPECT_FALSE(EndsWithDelim(""));
  EXPECT_EQ(SystemDir(), "/usr/bin");
}

TEST(Paths, NameDirectoryAndJoinedPath) {
  const struct {
    const char* path;
    const char* base;
    const char* dir;
  } splits[] = {
      {"/home/ann/a b.txt", "a b.txt", "/home/ann/"},
      {"plain", "plain", ""},
      {"/home/ann/", "", "/home/ann/"},
      {"/", "", "/"},
      {"", "", ""},
      {"a/b", "b", "a/"},
  };
  for (const auto& s : splits) {
    EXPECT_EQ(BaseName(s.path), s.base) << s.path;
    EXPECT_EQ(DirName(s.path), s.dir) << s.path;
  }
  const struct {
    const char* dir;
    const char* name;
    const char* joined;
  } joins[] = {{"/tmp/x/", "a", "/tmp/x/a"},
               {"/tmp/x", "a", "/tmp/x/a"},
               {"/", "a", "/a"},
               {"", "a", "a"},
               {"/tmp", "", "/tmp/"}};
  for (const auto& j : joins) EXPECT_EQ(JoinPath(j.dir, j.name), j.joined) << j.dir;
}

TEST(Paths, FullPathsAreNormalWithDotDotTakenThroughTheRealDirectory) {
  // The disk as the rule sees it: "/d/link" points to "/e/f", so "/d/link/.." is "/e".
  const std::map<std::string, std::string> real = {
      {"/d", "/d"}, {"/d/link", "/e/f"}, {"/d/link/..", "/e"}, {"/", "/"}, {"/d/..", "/"}};
  std::vector<std::string> asked;
  const RealDirOf real_dir = [&](const std::string& dir) -> std::optional<std::string> {
    asked.push_back(dir);
    const auto it = real.find(dir);
    if (it == real.end()) return std::nullopt;
    return it->second;
  };
  const struct {
    const char* path;
    const char* normal;  // nullptr: none
    bool looks;          // the disk is asked
  } cases[] = {
      {"/d/a.txt", "/d/a.txt", false},
      {"/d//a.txt", "/d/a.txt", false},
      {"/d/./a.txt", "/d/a.txt", false},
      {"/d/a.txt/", "/d/a.txt", false},
      {"//", "/", false},
      {"/d/link/../x.txt", "/e/x.txt", true},
      {"/d/link/./../x.txt", "/e/x.txt", true},
      {"/d/../x.txt", "/x.txt", true},
      {"/d/link/..", "/e", true},
      {"/missing/../x.txt", nullptr, true},
      {"d/a.txt", nullptr, false},
      {"", nullptr, false},
  };
  for (const auto& c : cases) {
    asked.clear();
    const auto normal = NormalFullPath(c.path, real_dir);
    EXPECT_EQ(normal, c.normal ? std::optional<std::string>(c.normal) : std::nullopt) << c.path;
    EXPECT_EQ(!asked.empty(), c.looks) << c.path;
  }

  // On the disk, through a real link.
  TempDir dir;
  const std::string target = dir.CreateDir("target/inner");
  ASSERT_EQ(symlink(target.c_str(), (dir.Slash() + "link").c_str()), 0);
  const std::string real_dir_path = std::filesystem::canonical(dir.Path()).string();
  EXPECT_EQ(ResolvedFullPath(dir.Slash() + "link/../x.txt"), real_dir_path + "/target/x.txt");
  EXPECT_EQ(ResolvedFullPath(dir.Slash() + "link"), dir.Slash() + "link");
  EXPECT_EQ(ResolvedFullPath(dir.Slash() + "gone/../x.txt"), std::nullopt);
}

TEST(Paths, ProgramAndWorkingDirectories) {
  std::string program = ProgramDir();
  EXPECT_TRUE(EndsWithDelim(program));
  std::string exe_path = std::filesystem::canonical("/proc/self/exe").string();
  EXPECT_EQ(program + exe_path.substr(exe_path.rfind('/') + 1), exe_path);

  TempDir dir;
  std::string before = WorkingDir();
  ASSERT_TRUE(EndsWithDelim(before));
  ASSERT_TRUE(SetWorkingDir(dir.Path()));
  std::string inside = WorkingDir();
  EXPECT_FALSE(SetWorkingDir(dir.Slash() + "missing"));
  EXPECT_EQ(WorkingDir(), inside);
  ASSERT_TRUE(SetWorkingDir(before));
  char* real = realpath(dir.Path().c_str(), nullptr);
  EXPECT_EQ(inside, std::string(real) + "/");
  free(real);
  EXPECT_EQ(WorkingDir(), before);
}

}  // namespace
