// The installed program: `cmake --install` lays out the program, its data, the desktop entry and
// the icon under a prefix, and the program run from there by a user who may not write to it keeps
// its settings in the per-user settings directory.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Install, PrefixHoldsProgramDataEntryAndIconAndSettingsGoPerUser) {
  TempDir dir;
  const std::string prefix = dir.Slash() + "prefix";
  const std::string build = fs::path(BW_EXE).parent_path().string();
  ASSERT_EQ(std::system(("cmake --install '" + build + "' --prefix '" + prefix + "' >" +
                         dir.Slash() + "install.log 2>&1")
                            .c_str()),
            0)
      << ReadAll(dir.Slash() + "install.log");
  for (const char* file : {"bin/brackwell", "share/brackwell/Lang/English.ini",
                           "share/brackwell/help.html", "share/applications/brackwell.desktop",
                           "share/icons/hicolor/scalable/apps/brackwell.svg"}) {
    EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
  }
  EXPECT_NE(ReadAll(prefix + "/share/applications/brackwell.desktop").find("\nExec=brackwell\n"),
            std::string::npos);

  // A user who may not write to the installed files runs the program.
  chmod(dir.Path().c_str(), 0755);
  ASSERT_EQ(std::system(("chmod -R a+rX,go-w '" + prefix + "'").c_str()), 0);
  const std::string home = dir.CreateDir("home");
  chmod(home.c_str(), 0777);
  const std::string script = dir.CreateFile("home/t.bws",
                                            "BEGIN BWSCRIPT;\n"
                                            "cn_listing(" +
                                                prefix +
                                                "/bin/)\n"
                                                "bw_quit(FALSE)\n"
                                                "END;\n");
  chmod(script.c_str(), 0644);
  const std::string as_user =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const std::string run = "cd '" + home + "' && env XDG_CONFIG_HOME='" + home + "/cfg' " + as_user +
                          "'" + prefix + "/bin/brackwell' -NOLOGO -BATCH t.bws >out.txt 2>&1";
  EXPECT_EQ(std::system(run.c_str()), 0) << ReadAll(home + "/out.txt");
  const std::string out = ReadAll(home + "/out.txt");
  EXPECT_NE(out.find("brackwell; Size: "), std::string::npos) << out;
  EXPECT_NE(ReadAll(home + "/cfg/brackwell/config.ini").find("LastDir="), std::string::npos);
  EXPECT_TRUE(fs::exists(home + "/cfg/brackwell/bmks.bw"));
  EXPECT_FALSE(fs::exists(prefix + "/share/brackwell/config.ini"));
  EXPECT_FALSE(fs::exists(prefix + "/bin/config.ini"));
}

}  // namespace
