#include "platform/fault_plan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/file_reader.h"
#include "platform/launch.h"
#include "platform/profile.h"
#include "platform/text_file.h"
#include "support/fault_plans.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using faults::Plan;
using faults::Scoped;
using namespace test_faults;

// The names in a directory, so a test sees that no temporary or partial file stayed behind.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::string kOld = "old contents\r\n";
const std::string kNew(300000, 'n');

TEST(FaultPlan, AWholeFileWriteThatRunsOutOfSpaceKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.CreateFile("list.bw", kOld);
  {
    Scoped full(FullDiskAfter(1000));
    EXPECT_THROW(WriteFileAtomic(path, kNew), std::runtime_error);
    // A new file is not made at all.
    EXPECT_THROW(WriteFileAtomic(dir.Path() + "/fresh.bw", kNew), std::runtime_error);
  }
  EXPECT_EQ(dir.Read("list.bw"), kOld);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.bw"});
  // Once there is room again the same write goes through whole.
  WriteFileAtomic(path, kNew);
  EXPECT_EQ(dir.Read("list.bw"), kNew);
}

TEST(FaultPlan, AStreamedWriteThatFailsHalfWayNeverReachesTheTarget) {
  TempDir dir;
  const std::string path = dir.CreateFile("dump.txt", kOld);
  {
    Scoped full(FullDiskAfter(5000));
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    EXPECT_TRUE(writer.Write(std::string(4000, 'a')));
    EXPECT_FALSE(writer.Write(std::string(4000, 'b')));
  }
  EXPECT_EQ(dir.Read("dump.txt"), kOld);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"dump.txt"});
}

TEST(FaultPlan, ARefusedOrVanishingTargetOfAnAtomicWrite) {
  TempDir dir;
  const std::string path = dir.CreateFile("config.ini", kOld);
  {
    Scoped refused(Refuse("/config.ini"));
    EXPECT_THROW(WriteFileAtomic(path, kNew), std::runtime_error);
  }
  EXPECT_EQ(dir.Read("config.ini"), kOld);
  {
    // The old file goes away while the new one is written: the new one still arrives whole.
    Scoped vanish(Vanish("/config.ini"));
    WriteFileAtomic(path, kNew);
  }
  EXPECT_EQ(dir.Read("config.ini"), kNew);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"config.ini"});
}

TEST(FaultPlan, ReadsThatFailReportTheReasonAndTheFile) {
  TempDir dir;
  const std::string path = dir.CreateFile("big.txt", kNew);
  std::string why;
  {
    Scoped error(ReadErrorAfter(100000));
    EXPECT_FALSE(ReadWholeFile(path, &why));
    EXPECT_NE(why.find("big.txt"), std::string::npos) << why;
    EXPECT_NE(why.find("Input/output error"), std::string::npos) << why;

    // The budget is spent, so a random-access read fails too rather than returning short.
    auto file = RandomAccessFile::Open(path);
    ASSERT_TRUE(file);
    std::string buffer(10, '\0');
    EXPECT_EQ(file->ReadAt(0, buffer.data(), 10), -1);
  }
  {
    Scoped refused(Refuse("/big.txt"));
    EXPECT_FALSE(ReadWholeFile(path, &why));
    EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
    EXPECT_FALSE(RandomAccessFile::Open(path));
  }
  EXPECT_EQ(ReadWholeFile(path), kNew);
}

TEST(FaultPlan, SettingsKeepTheirOldTextWhenTheRewriteFails) {
  TempDir dir;
  const std::string ini = dir.CreateFile("config.ini", "[Main]\r\nLanguage=English\r\n");
  for (const Plan& plan : {FullDiskAfter(10), ReadErrorAfter(5), Refuse("/config.ini")}) {
    Scoped faults(plan);
    EXPECT_THROW(ProfileWriteString(ini, "Main", "Language", "German"), ProfileWriteError);
    EXPECT_THROW(ProfileWriteStrings(ini, {{"Main", "Language", "German"}, {"Main", "X", "1"}}),
                 ProfileWriteError);
  }
  EXPECT_EQ(dir.Read("config.ini"), "[Main]\r\nLanguage=English\r\n");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"config.ini"});
}

TEST(FaultPlan, CopiesLeaveNoPartialTargetWhateverFails) {
  TempDir dir;
  const std::string src = dir.CreateFile("src/data.bin", kNew);
  const std::string dst = dir.CreateDir("dst") + "/data.bin";
  struct Case {
    const char* what;
    Plan plan;
  };
  const Case cases[] = {
      {"full disk", FullDiskAfter(150000)},
      {"read error", ReadErrorAfter(150000)},
      {"source refused", Refuse("src/data.bin")},
      {"target refused", Refuse("dst/data.bin")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      Scoped faults(c.plan);
      EXPECT_FALSE(CopyFileNoReplace(src, dst));
    }
    EXPECT_FALSE(FileExists(dst));
    {
      Scoped faults(c.plan);
      EXPECT_EQ(CopyFileReporting(src, dst, {}), CopyOutcome::kFailed);
    }
    EXPECT_FALSE(FileExists(dst));
    EXPECT_EQ(dir.Read("src/data.bin"), kNew);
  }
  {
    // The source goes between the check that it is a regular file and its opening.
    Scoped vanish(Vanish("src/data.bin"));
    EXPECT_EQ(CopyFileReporting(src, dst, {}), CopyOutcome::kFailed);
  }
  EXPECT_FALSE(FileExists(dst));
  EXPECT_TRUE(Names(dir.Path() + "/dst").empty());
}

TEST(FaultPlan, ARenameThatIsRefusedOrLosesItsSourceChangesNothing) {
  TempDir dir;
  const std::string src = dir.CreateFile("a.txt", kOld);
  const std::string dst = dir.Path() + "/b.txt";
  {
    Scoped refused(Refuse("/b.txt"));
    EXPECT_FALSE(MoveFileNoReplace(src, dst));
  }
  EXPECT_EQ(dir.Read("a.txt"), kOld);
  EXPECT_FALSE(FileExists(dst));
  {
    Scoped vanish(Vanish("/a.txt"));
    EXPECT_FALSE(MoveFileNoReplace(src, dst));
  }
  EXPECT_TRUE(Names(dir.Path()).empty());
}

TEST(FaultPlan, AMoveToAnotherFileSystemThatFailsKeepsTheSource) {
  struct stat here, shm;
  TempDir dir;
  std::string other = "/dev/shm/bw-move-XXXXXX";
  if (stat(dir.Path().c_str(), &here) != 0 || mkdtemp(other.data()) == nullptr ||
      stat(other.c_str(), &shm) != 0 || here.st_dev == shm.st_dev) {
    GTEST_SKIP() << "no second file system to move across";
  }
  struct Remove {
    std::string path;
    ~Remove() { std::filesystem::remove_all(path); }
  } remove_other{other};
  const std::string src = dir.CreateFile("a.bin", kNew);
  const std::string dst = other + "/a.bin";
  for (const Plan& plan : {FullDiskAfter(200000), ReadErrorAfter(200000)}) {
    Scoped faults(plan);
    EXPECT_FALSE(MoveFileNoReplace(src, dst));
  }
  EXPECT_EQ(dir.Read("a.bin"), kNew);
  EXPECT_FALSE(FileExists(dst));
  ASSERT_TRUE(MoveFileNoReplace(src, dst));
  EXPECT_EQ(ReadWholeFile(dst), kNew);
  EXPECT_FALSE(FileExists(src));
}

TEST(FaultPlan, AnAppendThatDoesNotFitIsTakenBackWhole) {
  TempDir dir;
  const std::string path = dir.CreateFile("renames.bw", "first line\r\n");
  AppendFile file(path);
  ASSERT_TRUE(file.is_open());
  {
    Scoped full(FullDiskAfter(4));
    EXPECT_FALSE(file.Append("second line\r\n"));
  }
  EXPECT_EQ(dir.Read("renames.bw"), "first line\r\n");
  EXPECT_TRUE(file.Append("third line\r\n"));
  EXPECT_EQ(dir.Read("renames.bw"), "first line\r\nthird line\r\n");
}

TEST(FaultPlan, AConfinedRunChangesNothingOutsideItsDirectory) {
  TempDir dir;
  const std::string inside = dir.CreateDir("inside") + "/";
  const std::string outside = dir.CreateFile("outside.txt", kOld);
  dir.CreateFile("inside/mine.txt", kOld);
  // A link inside that points out, and paths that climb out by "..", are outside too.
  ASSERT_EQ(symlink(dir.Path().c_str(), (inside + "up").c_str()), 0);
  {
    Plan plan;
    plan.confine = inside;
    Scoped confined(plan);
    EXPECT_THROW(WriteFileAtomic(outside, kNew), std::runtime_error);
    EXPECT_THROW(WriteFileAtomic(inside + "../outside.txt", kNew), std::runtime_error);
    EXPECT_THROW(WriteFileAtomic(inside + "up/outside.txt", kNew), std::runtime_error);
    EXPECT_FALSE(DeleteFile(outside));
    EXPECT_FALSE(DeleteFile(inside + "up/outside.txt"));
    EXPECT_FALSE(CreateEmptyFile(dir.Path() + "/fresh.txt"));
    EXPECT_FALSE(CopyFileNoReplace(inside + "mine.txt", dir.Path() + "/copy.txt"));
    EXPECT_FALSE(MoveFileNoReplace(outside, inside + "taken.txt"));
    EXPECT_FALSE(MoveFileNoReplace(inside + "mine.txt", dir.Path() + "/moved.txt"));
    EXPECT_FALSE(AppendFile(outside).is_open());
    // No program starts either: it could change anything.
    EXPECT_NE(StartCommandLine("true"), kStartOk);
    EXPECT_FALSE(MoveFileNoReplace(inside, dir.Path() + "/renamed"));
    // Reading anywhere stays allowed, and so does every change inside.
    EXPECT_EQ(ReadWholeFile(outside), kOld);
    EXPECT_TRUE(CopyFileNoReplace(outside, inside + "copy.txt"));
    WriteFileAtomic(inside + "mine.txt", kNew);
    EXPECT_TRUE(MoveFileNoReplace(inside + "copy.txt", inside + "moved.txt"));
    EXPECT_TRUE(DeleteFile(inside + "moved.txt"));
    // The link itself lies inside: removing it is a change inside.
    EXPECT_TRUE(DeleteFile(inside + "up"));
  }
  EXPECT_EQ(dir.Read("outside.txt"), kOld);
  EXPECT_EQ(dir.Read("inside/mine.txt"), kNew);
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"inside", "outside.txt"}));
  EXPECT_EQ(Names(inside), std::vector<std::string>{"mine.txt"});
}

}  // namespace
}  // namespace platform
