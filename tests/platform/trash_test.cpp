// The desktop trash: where files go, what the info file says, putting them back, and the cases
// where no trash may be used.

#include "platform/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "platform/trash_info.h"
#include "support/fault_plans.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

// Points the home trash at a temporary directory for one test.
class TrashHome {
 public:
  TrashHome() {
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old != nullptr) old_ = old;
    had_ = old != nullptr;
    setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
  }
  ~TrashHome() {
    if (had_) {
      setenv("XDG_DATA_HOME", old_.c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
  }
  const TempDir& data() const { return data_; }
  std::string Trash() const { return data_.Path() + "/Trash"; }

 private:
  TempDir data_;
  std::string old_;
  bool had_ = false;
};

std::size_t CountEntries(const std::string& dir) {
  std::error_code ec;
  std::size_t n = 0;
  for (auto it = std::filesystem::directory_iterator(dir, ec);
       !ec && it != std::filesystem::directory_iterator(); ++it) {
    ++n;
  }
  return n;
}

TEST(Trash, MovesFilesInWithAParsableInfoAndPutsThemBack) {
  TrashHome home;
  TempDir dir;
  const std::string first = dir.CreateFile("report old.txt", "one");
  const std::string second_dir = dir.CreateDir("sub");
  const std::string second = dir.CreateFile("sub/report old.txt", "two");

  const TrashResult a = MoveToTrash(first);
  ASSERT_EQ(a.outcome, TrashOutcome::kTrashed) << a.why;
  EXPECT_EQ(a.trashed, home.Trash() + "/files/report old.txt");
  EXPECT_EQ(a.info, home.Trash() + "/info/report old.txt.trashinfo");
  EXPECT_FALSE(dir.Exists("report old.txt"));
  const auto text = ReadWholeFile(a.info);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("Path=" + PercentEncode(first) + "\n"), std::string::npos) << *text;
  EXPECT_NE(text->find("%20old.txt"), std::string::npos) << *text;
  const auto info = ParseTrashInfo(*text);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->path, first);
  EXPECT_EQ(info->deletion_date.size(), 19u) << info->deletion_date;
  EXPECT_EQ(info->deletion_date[10], 'T');

  // The same name again takes a new name beside the first; nothing in the trash is replaced.
  const TrashResult b = MoveToTrash(second);
  ASSERT_EQ(b.outcome, TrashOutcome::kTrashed) << b.why;
  EXPECT_EQ(b.trashed, home.Trash() + "/files/report old.2.txt");
  EXPECT_EQ(home.data().Read("Trash/files/report old.txt"), "one");
  EXPECT_EQ(home.data().Read("Trash/files/report old.2.txt"), "two");

  // Back where it was; an occupied place is never replaced.
  dir.CreateFile("sub/report old.txt", "newcomer");
  EXPECT_FALSE(RestoreFromTrash(b.trashed, b.info, second));
  EXPECT_EQ(dir.Read("sub/report old.txt"), "newcomer");
  ASSERT_TRUE(RestoreFromTrash(a.trashed, a.info, first));
  EXPECT_EQ(dir.Read("report old.txt"), "one");
  EXPECT_FALSE(FileExists(a.info));
  EXPECT_TRUE(FileExists(b.info));
  (void)second_dir;
}

TEST(Trash, KeepsTheDirectorySizesCacheInStep) {
  TrashHome home;
  TempDir dir;
  dir.CreateFile("photos/a.jpg", std::string(1000, 'a'));
  dir.CreateFile("photos/deep/b.jpg", std::string(234, 'b'));
  const TrashResult r = MoveToTrash(dir.Path() + "/photos");
  ASSERT_EQ(r.outcome, TrashOutcome::kTrashed) << r.why;
  const std::string sizes = home.data().Read("Trash/directorysizes");
  EXPECT_EQ(sizes.rfind("1234 ", 0), 0u) << sizes;
  EXPECT_NE(sizes.find(" photos\n"), std::string::npos) << sizes;
  ASSERT_TRUE(RestoreFromTrash(r.trashed, r.info, dir.Path() + "/photos"));
  EXPECT_EQ(home.data().Read("Trash/directorysizes"), "");
  EXPECT_EQ(dir.Read("photos/deep/b.jpg"), std::string(234, 'b'));
}

TEST(Trash, RefusesATrashThatIsALinkAndLeavesTheFile) {
  for (const std::string linked : {"Trash", "Trash/files", "Trash/info"}) {
    TrashHome home;
    TempDir elsewhere;
    if (linked != "Trash") home.data().CreateDir("Trash");
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), (home.data().Path() + "/" + linked).c_str()), 0);
    TempDir dir;
    const std::string file = dir.CreateFile("keep.txt", "data");
    const TrashResult r = MoveToTrash(file);
    EXPECT_EQ(r.outcome, TrashOutcome::kNoTrash) << linked;
    EXPECT_EQ(dir.Read("keep.txt"), "data") << linked;
    EXPECT_EQ(CountEntries(elsewhere.Path()), 0u) << linked;
  }
}

TEST(Trash, AFullDiskLeavesTheFileAndNoStrayInfo) {
  TrashHome home;
  TempDir dir;
  const std::string file = dir.CreateFile("keep.txt", "data");
  ASSERT_EQ(MoveToTrash(dir.CreateFile("warm.txt")).outcome, TrashOutcome::kTrashed);
  {
    faults::Scoped full(test_faults::FullDiskAfter(10));
    const TrashResult r = MoveToTrash(file);
    EXPECT_EQ(r.outcome, TrashOutcome::kNoTrash);
    EXPECT_NE(r.why.find("space"), std::string::npos) << r.why;
  }
  EXPECT_EQ(dir.Read("keep.txt"), "data");
  EXPECT_EQ(CountEntries(home.Trash() + "/info"), 1u);
  EXPECT_EQ(CountEntries(home.Trash() + "/files"), 1u);
}

TEST(Trash, AFileThatIsGoneIsReportedNotTrashed) {
  TrashHome home;
  TempDir dir;
  const TrashResult r = MoveToTrash(dir.Path() + "/missing.txt");
  EXPECT_EQ(r.outcome, TrashOutcome::kFailed);
  EXPECT_EQ(CountEntries(home.Trash() + "/info"), 0u);
}

TEST(TrashInfo, ParsesWhatOtherFileManagersWrite) {
  struct Case {
    const char* text;
    const char* path;  // nullptr: refused
  };
  const Case cases[] = {
      {"[Trash Info]\nPath=/home/ann/a%20b.txt\nDeletionDate=2026-01-02T03:04:05\n",
       "/home/ann/a b.txt"},
      {"[Trash Info]\r\nPath=/x/%C3%A9t%C3%A9\r\nDeletionDate=2026-01-02T03:04:05\r\n",
       "/x/\xC3\xA9t\xC3\xA9"},
      {"[Other]\nPath=/wrong\n[Trash Info]\nPath=/right\nPath=/second\n", "/right"},
      {"[Trash Info]\nDeletionDate=2026-01-02T03:04:05\n", nullptr},
      {"Path=/no/group\n", nullptr},
      {"[Trash Info]\nPath=/bad%2\n", nullptr},
      {"[Trash Info]\nPath=/bad%zz\n", nullptr},
  };
  for (const Case& c : cases) {
    const auto info = ParseTrashInfo(c.text);
    if (c.path == nullptr) {
      EXPECT_FALSE(info) << c.text;
    } else {
      ASSERT_TRUE(info) << c.text;
      EXPECT_EQ(info->path, c.path) << c.text;
    }
  }
  const std::string odd = "/t/%a b\t\xFF#?";
  EXPECT_EQ(PercentDecode(PercentEncode(odd)), odd);
  EXPECT_EQ(PercentEncode(odd), "/t/%25a%20b%09%FF%23%3F");
}

// Other file managers see what was trashed here (gio needs its trash backend to list trash://).
// The backend runs on a session bus of its own, so that it reads this test's trash, not the
// one of the bus it would otherwise be started from.
TEST(Trash, GioListsAFileTrashedHere) {
  TrashHome home;
  TempDir dir;
  const std::string file = dir.CreateFile("seen-by-gio.txt", "x");
  ASSERT_EQ(MoveToTrash(file).outcome, TrashOutcome::kTrashed);
  FILE* pipe = popen("dbus-run-session -- gio list trash:// 2>/dev/null", "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  const int status = pclose(pipe);
  if (status != 0) GTEST_SKIP() << "gio with a trash backend is not installed";
  EXPECT_NE(out.find("seen-by-gio.txt"), std::string::npos) << out;
}

}  // namespace
}  // namespace platform
