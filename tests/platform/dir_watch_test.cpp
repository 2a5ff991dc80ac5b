// The directory watch reports what other programs do to a directory, without blocking.

#include "platform/dir_watch.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

using platform::WatchEvent;
using platform::WatchEventKind;

std::string Describe(const std::vector<WatchEvent>& events) {
  static const char* kKinds[] = {"+", "-", "~", "gone", "overflow"};
  std::string text;
  for (const WatchEvent& e : events) {
    text += kKinds[static_cast<int>(e.kind)] + e.name + (e.is_dir ? "/" : "") + " ";
  }
  return text;
}

TEST(DirWatchTest, ReportsCreateWriteRenameDeleteAndTheDirectoryGoing) {
  TempDir dir;
  platform::DirWatch watch;
  std::vector<WatchEvent> events;
  watch.Read(events);
  EXPECT_TRUE(events.empty()) << "a read with nothing pending returns at once";

  const std::string watched = dir.CreateDir("w");
  std::string why;
  const int id = watch.Add(watched, &why);
  ASSERT_GE(id, 0) << why;
  dir.CreateFile("w/a.txt", "x");  // created, written and closed
  ASSERT_EQ(rename((watched + "/a.txt").c_str(), (watched + "/b.txt").c_str()), 0);
  dir.CreateDir("w/sub");
  ASSERT_EQ(unlink((watched + "/b.txt").c_str()), 0);
  watch.Read(events);
  EXPECT_EQ(Describe(events), "+a.txt ~a.txt -a.txt +b.txt +sub/ -b.txt ");
  for (const WatchEvent& e : events) EXPECT_EQ(e.watch, id);
  ASSERT_EQ(events.size(), 6u);
  EXPECT_NE(events[2].cookie, 0u);
  EXPECT_EQ(events[2].cookie, events[3].cookie) << "the two halves of a rename are linked";

  events.clear();
  ASSERT_EQ(rename(watched.c_str(), (dir.Path() + "/moved").c_str()), 0);
  watch.Read(events);
  EXPECT_EQ(Describe(events), "gone ");
}

TEST(DirWatchTest, AStoppedWatchReportsNothingMoreAndAMissingDirectorySaysWhy) {
  TempDir dir;
  platform::DirWatch watch;
  std::string why;
  const int id = watch.Add(dir.Path(), &why);
  ASSERT_GE(id, 0) << why;
  dir.CreateFile("queued");
  watch.Remove(id);
  dir.CreateFile("later");
  std::vector<WatchEvent> events;
  watch.Read(events);
  EXPECT_EQ(Describe(events), "");

  EXPECT_EQ(watch.Add(dir.Path() + "/missing", &why), -1);
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(watch.Add(dir.CreateFile("plain"), &why), -1) << "only directories are watched";
}

TEST(DirWatchTest, NetworkFileSystemsAreKnownByType) {
  const struct {
    std::int64_t type;
    bool network;
  } cases[] = {{0x6969, true},
               {0xFF534D42, true},
               {0x01021997, true},
               {0xEF53, false},
               {0x01021994, false} /* tmpfs */,
               {0x58465342, false} /* xfs */};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::IsNetworkFsType(c.type), c.network) << std::hex << c.type;
  }
}

}  // namespace
