// Reading the program of a desktop entry.

#include "platform/desktop_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopEntry, ExecLineWithoutFieldCodes) {
  using platform::DesktopEntryCommand;
  EXPECT_EQ(DesktopEntryCommand("[Desktop Entry]\nExec=gimp %U\n"), "gimp");
  EXPECT_EQ(DesktopEntryCommand("[Desktop Entry]\r\nName=x\r\nExec=prog --rate=50%% %f\r\n"),
            "prog --rate=50%");
  EXPECT_EQ(DesktopEntryCommand("[Other]\nExec=wrong\n[Desktop Entry]\nExec=right\n"), "right");
  EXPECT_EQ(DesktopEntryCommand("[Desktop Entry]\nName=no exec\n[Action]\nExec=other\n"), "");
  EXPECT_TRUE(platform::IsDesktopEntry("/usr/share/applications/gimp.desktop"));
  EXPECT_FALSE(platform::IsDesktopEntry("/usr/bin/desktop"));
  EXPECT_FALSE(platform::IsDesktopEntry(".desktop"));
}

}  // namespace
