// Several keys written with one rewrite of a settings file.

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "support/temp_dir.h"

namespace {

TEST(ProfileWriteStrings, WritesInOrderAsSingleWritesWould) {
  TempDir dir;
  const std::string file =
      dir.CreateFile("a.ini", "; note\r\n[One]\r\nA=1\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n");
  platform::ProfileWriteStrings(
      file, {{"one", "b", "20"}, {"ONE", "new", "x"}, {"Three", "d", "4"}, {"three", "d", "5"}});
  EXPECT_EQ(dir.Read("a.ini"),
            "; note\r\n[One]\r\nA=1\r\nB=20\r\nnew=x\r\n\r\n[Two]\r\nC=3\r\n[Three]\r\nd=5\r\n");

  // A file that cannot be written stays as it was and the error names it.
  const std::string missing = dir.Path() + "/no/such/dir.ini";
  try {
    platform::ProfileWriteStrings(missing, {{"s", "k", "v"}});
    FAIL() << "no error";
  } catch (const platform::ProfileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
  }
}

}  // namespace
