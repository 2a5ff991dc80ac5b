// A program directory the user cannot write to (an installed program): settings and lists go to
// the per-user settings directory while the data files are still read from the program directory.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "export/bookmarks_window.h"
#include "support/as_unprivileged.h"
#include "support/window_fixture.h"
#include "ui/byte_text.h"

namespace {

class PerUserSettingsTest : public WindowTest {
 protected:
  ~PerUserSettingsTest() override {
    if (old_xdg_)
      setenv("XDG_CONFIG_HOME", old_xdg_->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }
  void SetConfigHome(const std::string& path) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_xdg_ = old;
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  }
  TempDir home;

 private:
  std::optional<std::string> old_xdg_;
};

TEST_F(PerUserSettingsTest, ReadOnlyProgramDirectoryKeepsSettingsPerUser) {
  UseTestLanguage();  // Lang/English.ini in the program directory, config.ini choosing it
  home.CreateFile("brackwell/config.ini", dir.Read("config.ini"));
  home.CreateFile("brackwell/bmks.bw", "/srv/\r\n");
  unlink((dir.Slash() + "config.ini").c_str());
  chmod(dir.Path().c_str(), 0555);
  chmod(home.Path().c_str(), 0777);
  chmod((home.Slash() + "brackwell").c_str(), 0777);
  chmod((home.Slash() + "brackwell/config.ini").c_str(), 0666);
  chmod((home.Slash() + "brackwell/bmks.bw").c_str(), 0666);
  SetConfigHome(home.Path());
  {
    AsUnprivileged user;
    CreateApp();
    EXPECT_EQ(app->SettingsDir(), home.Slash() + "brackwell/");
    EXPECT_EQ(app->ProgramDir(), dir.Slash());
    // The language named by the per-user config.ini was loaded from the program directory.
    EXPECT_EQ(app->Str(1).toStdString(), "E1");
    app->frmBookMarks->addsrch->setText(BytesToText("/tmp/"));
    app->Guarded([&] { app->frmBookMarks->addClick(); });
    app->frmBookMarks->SaveBookmarks();
    app->Settings().Write(config::keys::kBgcr, "12");
  }
  chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(home.Read("brackwell/bmks.bw"), "/srv/\r\n/tmp/\r\n");
  EXPECT_NE(home.Read("brackwell/config.ini").find("bgcr=12"), std::string::npos);
  EXPECT_FALSE(dir.Exists("bmks.bw"));
  EXPECT_FALSE(dir.Exists("config.ini"));
}

TEST_F(PerUserSettingsTest, WritableProgramDirectoryStaysPortable) {
  UseTestLanguage();
  SetConfigHome(home.Path());
  CreateApp();
  EXPECT_EQ(app->SettingsDir(), dir.Slash());
  app->frmBookMarks->addsrch->setText(BytesToText("/tmp/"));
  app->Guarded([&] { app->frmBookMarks->addClick(); });
  app->frmBookMarks->SaveBookmarks();
  EXPECT_EQ(dir.Read("bmks.bw"), "/\r\n/tmp/\r\n");  // "/" stands in a new list
  EXPECT_FALSE(home.Exists("brackwell"));
}

}  // namespace
