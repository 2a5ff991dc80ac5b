// Renames within one directory through its descriptor keep the guarantees of MoveFileNoReplace.

#include "platform/dir_rename.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/fault_plan.h"
#include "support/temp_dir.h"

namespace {

struct Case {
  const char* what;
  const char* old_name;
  const char* new_name;
  bool renamed;
};

// Each case starts from a directory holding "a.txt" ("A"), "b.txt" ("B"), the directory "sub",
// a link "link" to a.txt and the named pipe "pipe".
TEST(DirRenamer, RenamesOnlyWhatMoveFileNoReplaceWould) {
  const Case cases[] = {
      {"a file", "a.txt", "c.txt", true},
      {"a directory", "sub", "sub2", true},
      {"a link, not what it points to", "link", "link2", true},
      {"onto a file", "a.txt", "b.txt", false},
      {"onto a directory", "a.txt", "sub", false},
      {"a missing entry", "none.txt", "c.txt", false},
      {"a named pipe", "pipe", "pipe2", false},
  };
  // Each case also the way a run goes: the entry identified and the new name looked up ahead
  // first, the rename then told whether the entry was identified.
  for (const bool identify_first : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(identify_first ? "identified first" : "renamed at once");
      TempDir dir;
      dir.CreateFile("a.txt", "A");
      dir.CreateFile("b.txt", "B");
      dir.CreateDir("sub");
      ASSERT_EQ(symlink("a.txt", (dir.Slash() + "link").c_str()), 0);
      ASSERT_EQ(mkfifo((dir.Slash() + "pipe").c_str(), 0644), 0);
      platform::DirRenamer renamer(dir.Slash());
      bool identified = false;
      if (identify_first) {
        renamer.LookUpAhead({c.new_name, "other"});
        const auto id = renamer.Identify(c.old_name);
        identified = id.has_value();
        EXPECT_EQ(identified, c.renamed || c.old_name == std::string("a.txt")) << c.what;
        if (id) {
          EXPECT_EQ(id, platform::GetFileIdentity(dir.Slash() + c.old_name)) << c.what;
        }
      }
      EXPECT_EQ(renamer.Rename(c.old_name, c.new_name, identified), c.renamed) << c.what;
      EXPECT_EQ(dir.Exists(c.old_name), !c.renamed && c.old_name != std::string("none.txt"))
          << c.what;
      EXPECT_EQ(dir.Read("a.txt") + dir.Read("b.txt"),
                c.renamed && c.old_name == std::string("a.txt") ? "<missing>B" : "AB")
          << c.what;
      if (c.renamed) {
        EXPECT_TRUE(dir.Exists(c.new_name)) << c.what;
      }
    }
}

// A directory named without its delimiter, one that cannot be opened, and an armed fault plan
// all take the path-based move, with the same results.
TEST(DirRenamer, FallsBackToThePathBasedMove) {
  {
    TempDir dir;
    dir.CreateFile("a.txt", "A");
    platform::DirRenamer renamer(dir.Path());
    EXPECT_TRUE(renamer.Rename("a.txt", "c.txt"));
    EXPECT_EQ(dir.Read("c.txt"), "A");
  }
  {
    TempDir dir;
    platform::DirRenamer renamer(dir.Slash() + "gone/");
    EXPECT_FALSE(renamer.Rename("a.txt", "c.txt"));
  }
  {
    TempDir dir;
    dir.CreateFile("a.txt", "A");
    dir.CreateFile("b.txt", "B");
    platform::DirRenamer renamer(dir.Slash());
    platform::faults::Plan plan;
    plan.refuse = "c.txt";
    const platform::faults::Scoped armed(plan);
    EXPECT_FALSE(renamer.Rename("a.txt", "c.txt"));
    EXPECT_TRUE(renamer.Rename("b.txt", "d.txt"));
    EXPECT_EQ(dir.Read("a.txt") + dir.Read("d.txt"), "AB");
  }
}

}  // namespace
