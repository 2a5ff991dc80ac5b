// Where the program finds its data and keeps its settings: beside the executable when that
// directory is writable, otherwise in the per-user settings directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/paths.h"
#include "support/temp_dir.h"

using namespace platform;

namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsDir, PerUserDirectoryFromTheEnvironment) {
  struct Case {
    std::string xdg, home, expected;
  };
  const Case cases[] = {
      {"/cfg", "/home/ann", "/cfg/brackwell/"},
      {"/cfg/", "/home/ann", "/cfg/brackwell/"},
      {"", "/home/ann", "/home/ann/.config/brackwell/"},
      {"", "/home/ann/", "/home/ann/.config/brackwell/"},
      {"relative/cfg", "/home/ann", "/home/ann/.config/brackwell/"},  // ignored: not absolute
      {"", "", ""},
      {"", "relative", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UserConfigDir(c.xdg, c.home), c.expected) << c.xdg << " | " << c.home;
  }
}

TEST(SettingsDir, DataFoundBesideTheProgramOrInTheInstalledShareDirectory) {
  TempDir dir;
  // Portable: Lang/ beside the executable.
  dir.CreateFile("portable/Lang/English.ini");
  EXPECT_EQ(DataDirFor(dir.Slash() + "portable/"), dir.Slash() + "portable/");
  // Installed: <prefix>/bin/brackwell with <prefix>/share/brackwell/Lang/.
  dir.CreateDir("prefix/bin");
  dir.CreateFile("prefix/share/brackwell/Lang/English.ini");
  EXPECT_EQ(DataDirFor(dir.Slash() + "prefix/bin/"), dir.Slash() + "prefix/share/brackwell/");
  // Neither: the executable's directory, so that missing data is reported there.
  dir.CreateDir("bare");
  EXPECT_EQ(DataDirFor(dir.Slash() + "bare/"), dir.Slash() + "bare/");
}

TEST(SettingsDir, WritableDirectoryIsTriedNotGuessed) {
  TempDir dir;
  EXPECT_TRUE(IsWritableDir(dir.Path()));
  EXPECT_TRUE(IsWritableDir(dir.Slash()));
  EXPECT_FALSE(IsWritableDir(dir.Slash() + "missing/"));
  // No file can be made here, not even by the superuser.
  EXPECT_FALSE(IsWritableDir("/proc/self/"));
  // The probe leaves nothing behind.
  EXPECT_FALSE(dir.Exists(".brackwell-write-"));
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + dir.Path() + ")\"").c_str()), 0);
}

TEST(SettingsDir, PortableWhenWritableOtherwisePerUserCreated) {
  TempDir program, user;
  ScopedEnv xdg("XDG_CONFIG_HOME", user.Path() + "/deep/config");
  EXPECT_EQ(SettingsDirFor(program.Slash()), program.Slash());
  EXPECT_EQ(SettingsDirFor("/proc/self/"), user.Slash() + "deep/config/brackwell/");
  EXPECT_TRUE(IsWritableDir(user.Slash() + "deep/config/brackwell/"));
}

TEST(SettingsDir, StaysWithTheProgramWhenNoPerUserDirectoryCanBeMade) {
  ScopedEnv xdg("XDG_CONFIG_HOME", "/proc/self/no-such");
  ScopedEnv home("HOME", "/proc/self/no-such");
  EXPECT_EQ(SettingsDirFor("/proc/self/"), "/proc/self/");
}

}  // namespace
