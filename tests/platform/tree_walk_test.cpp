// The breadth-first walk: its order, links, directories it cannot list, and stopping.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/tree_walk.h"
#include "support/temp_dir.h"
#include "test_helpers.h"

namespace {

// Every file the walk reports, as its path below the start directory.
std::vector<std::string> Walk(const TempDir& dir, platform::WalkSummary* summary = nullptr,
                              std::string start = {}) {
  std::vector<std::string> files;
  platform::WalkCallbacks callbacks;
  const std::size_t prefix = dir.Slash().size();
  callbacks.file = [&](std::string_view d, std::string_view name) {
    files.push_back(std::string(d.substr(prefix)) + std::string(name));
    return true;
  };
  const auto result = platform::WalkBreadthFirst(start.empty() ? dir.Path() : start, callbacks);
  if (summary != nullptr) *summary = result;
  return files;
}

int Depth(const std::string& path) {
  return static_cast<int>(std::count(path.begin(), path.end(), '/'));
}

TEST(TreeWalk, ReportsEveryLevelBeforeTheNextOne) {
  TempDir dir;
  dir.CreateFile("a.txt");
  dir.CreateFile(".hidden");
  dir.CreateFile("..foo");  // begins with ".." and is a name like any other
  dir.CreateFile("..dots/g.txt");
  dir.CreateFile("x/b.txt");
  dir.CreateFile("y/c.txt");
  dir.CreateFile("x/x1/d.txt");
  dir.CreateFile("y/y1/e.txt");
  dir.CreateFile("x/x1/x2/f.txt");
  dir.CreateDir("empty");
  platform::WalkSummary summary;
  const std::vector<std::string> files = Walk(dir, &summary);
  ASSERT_EQ(files.size(), 9u);
  for (std::size_t i = 1; i < files.size(); ++i) {
    EXPECT_LE(Depth(files[i - 1]), Depth(files[i])) << files[i - 1] << " before " << files[i];
  }
  for (const char* name : {".hidden", "..foo", "..dots/g.txt"}) {
    EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
  }
  EXPECT_EQ(files.back(), "x/x1/x2/f.txt");
  EXPECT_EQ(summary.listed, 8u);  // the start and seven directories below it
  EXPECT_EQ(summary.skipped, 0u);
  EXPECT_FALSE(summary.stopped);
}

TEST(TreeWalk, StartGetsOneDelimiterOnly) {
  TempDir dir;
  dir.CreateFile("sub/a");
  std::vector<std::string> dirs;
  platform::WalkCallbacks callbacks;
  callbacks.enter = [&](std::string_view d) {
    dirs.emplace_back(d);
    return true;
  };
  platform::WalkBreadthFirst(dir.Slash(), callbacks);
  EXPECT_EQ(dirs, (std::vector<std::string>{dir.Slash(), dir.Slash() + "sub/"}));
  dirs.clear();
  platform::WalkBreadthFirst(dir.Path(), callbacks);
  EXPECT_EQ(dirs, (std::vector<std::string>{dir.Slash(), dir.Slash() + "sub/"}));
}

TEST(TreeWalk, LinksToDirectoriesAreNotFollowedButLinksToFilesAreFiles) {
  TempDir dir;
  dir.CreateFile("sub/real.txt");
  ASSERT_EQ(symlink(dir.Path().c_str(), (dir.Slash() + "sub/loop").c_str()), 0);
  ASSERT_EQ(symlink("real.txt", (dir.Slash() + "sub/alias.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir.Slash() + "dangling").c_str()), 0);
  std::vector<std::string> files = Walk(dir);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"dangling", "sub/alias.txt", "sub/real.txt"}));
}

TEST(TreeWalk, DirectoryThatCannotBeListedIsSkippedAndCounted) {
  TempDir dir;
  dir.CreateFile("top");
  for (const char* sub : {"a", "b", "c"}) {
    dir.CreateFile(std::string(sub) + "/1");
    dir.CreateFile(std::string(sub) + "/deeper/2");
  }
  // When the first directory below the start is listed, another one already queued vanishes:
  // the walk skips it and goes on with the rest, the next level included.
  std::string removed;
  platform::WalkCallbacks callbacks;
  std::vector<std::string> files;
  callbacks.enter = [&](std::string_view d) {
    if (removed.empty() && d != dir.Slash()) {
      removed = dir.Slash() + (d == dir.Slash() + "a/" ? "b" : "a");
      std::filesystem::remove_all(removed);
    }
    return true;
  };
  callbacks.file = [&](std::string_view d, std::string_view name) {
    files.push_back(std::string(d) + std::string(name));
    return true;
  };
  const auto summary = platform::WalkBreadthFirst(dir.Path(), callbacks);
  EXPECT_EQ(files.size(), 5u);
  for (const std::string& f : files) EXPECT_NE(f.rfind(removed, 0), 0u) << f;
  EXPECT_EQ(summary.skipped, 1u);
  EXPECT_EQ(summary.listed, 5u);

  // A missing start directory is one skipped directory and nothing else.
  const auto missing = platform::WalkBreadthFirst(dir.Slash() + "gone", {});
  EXPECT_EQ(missing.skipped, 1u);
  EXPECT_EQ(missing.listed, 0u);
}

TEST(TreeWalk, DirectoryWithoutReadPermissionIsSkipped) {
  if (platform_test::RunningAsRoot()) GTEST_SKIP() << "root reads every directory";
  TempDir dir;
  dir.CreateFile("locked/secret");
  dir.CreateFile("open/visible");
  chmod((dir.Slash() + "locked").c_str(), 0);
  platform::WalkSummary summary;
  const auto files = Walk(dir, &summary);
  chmod((dir.Slash() + "locked").c_str(), 0700);
  EXPECT_EQ(files, std::vector<std::string>{"open/visible"});
  EXPECT_EQ(summary.skipped, 1u);
}

TEST(TreeWalk, StopsWhenACallbackSaysSo) {
  TempDir dir;
  for (int i = 0; i < 5; ++i) dir.CreateFile("f" + std::to_string(i));
  for (int i = 0; i < 50; ++i) dir.CreateFile("sub" + std::to_string(i) + "/g");
  for (const unsigned threads : {1u, 3u}) {
    SCOPED_TRACE(threads);
    platform::WalkCallbacks callbacks;
    int seen = 0;
    callbacks.file = [&](std::string_view, std::string_view) { return ++seen < 2; };
    const auto summary = platform::WalkBreadthFirst(dir.Path(), callbacks, threads);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(seen, 2);

    int entered = 0;
    callbacks.file = {};
    callbacks.enter = [&](std::string_view) { return ++entered < 2; };
    EXPECT_TRUE(platform::WalkBreadthFirst(dir.Path(), callbacks, threads).stopped);
    EXPECT_EQ(entered, 2);
  }
}

TEST(TreeWalk, TheCallingThreadStaysLiveAndStopsWhileHelpersAreBusy) {
  TempDir dir;
  dir.CreateFile("slow/a");
  dir.CreateFile("top");
  // The helper listing "slow" is held until the calling thread has been idle after handing out
  // the start's files; that idle call stops the walk, so nothing of "slow" is handed out.
  std::atomic<bool> idled{false};
  platform::WalkCallbacks callbacks;
  std::vector<std::string> files;
  callbacks.select = [&](std::vector<std::string_view>& names) {
    if (names.size() == 1 && names[0] == "a") idled.wait(false);
  };
  callbacks.idle = [&] {
    if (files.empty()) return true;  // the start itself is not yet handed out
    idled = true;
    idled.notify_all();
    return false;
  };
  callbacks.file = [&](std::string_view, std::string_view name) {
    files.emplace_back(name);
    return true;
  };
  const auto summary = platform::WalkBreadthFirst(dir.Path(), callbacks, 2);
  EXPECT_TRUE(summary.stopped);
  EXPECT_TRUE(idled);
  EXPECT_EQ(files, std::vector<std::string>{"top"});
}

// What a walk hands to its callbacks, in order: "> dir" for each directory, then its files.
std::vector<std::string> Trace(const std::string& start, unsigned threads, bool only_odd) {
  std::vector<std::string> trace;
  platform::WalkCallbacks callbacks;
  callbacks.enter = [&](std::string_view d) {
    trace.push_back("> " + std::string(d));
    return true;
  };
  callbacks.file = [&](std::string_view, std::string_view name) {
    trace.emplace_back(name);
    return true;
  };
  if (only_odd) {
    callbacks.select = [](std::vector<std::string_view>& names) {
      std::erase_if(names, [](std::string_view name) { return (name.back() - '0') % 2 == 0; });
    };
  }
  platform::WalkBreadthFirst(start, callbacks, threads);
  return trace;
}

TEST(TreeWalk, HelperThreadsGiveTheOrderOfTheWalkAlone) {
  // An uneven tree: wide and narrow directories, empty ones, and a long thin branch.
  TempDir dir;
  for (int a = 0; a < 6; ++a) {
    const std::string top = "t" + std::to_string(a) + "/";
    for (int f = 0; f < a * 3; ++f) dir.CreateFile(top + "f" + std::to_string(f));
    for (int b = 0; b < a; ++b) {
      const std::string mid = top + "m" + std::to_string(b) + "/";
      dir.CreateDir(mid);
      for (int f = 0; f < b + 1; ++f) dir.CreateFile(mid + "g" + std::to_string(f));
    }
  }
  std::string thin = "thin/";
  for (int level = 0; level < 40; ++level, thin += "n/")
    dir.CreateFile(thin + "h" + std::to_string(level));
  // More directories than the helpers list ahead, and a directory whose names take several
  // reads of the kernel's entries.
  for (int d = 0; d < 1100; ++d) dir.CreateDir("wide/w" + std::to_string(d) + "/");
  const std::string long_name(120, 'l');
  for (int f = 0; f < 600; ++f) dir.CreateFile("wide/w7/" + long_name + std::to_string(f));
  for (const bool only_odd : {false, true}) {
    const std::vector<std::string> alone = Trace(dir.Path(), 1, only_odd);
    ASSERT_EQ(std::count(alone.begin(), alone.end(), "> " + dir.Slash() + "wide/w1099/"), 1);
    ASSERT_EQ(std::count_if(alone.begin(), alone.end(),
                            [&](const std::string& t) { return t.rfind(long_name, 0) == 0; }),
              only_odd ? 300 : 600);
    for (const unsigned threads : {2u, 5u}) {
      EXPECT_EQ(Trace(dir.Path(), threads, only_odd), alone) << threads << " threads";
    }
  }
}

}  // namespace
