#include "support/window_fixture.h"

#include <stdlib.h>
#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>

#include <string>

#include "app/main_window.h"
#include "console/console_window.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "ui/byte_text.h"
#include "ui/console_view.h"

WindowTest::WindowTest() : saved_cwd_(platform::WorkingDir()) {
  // Nothing a test deletes reaches the user's own trash.
  setenv("XDG_DATA_HOME", data_home.Path().c_str(), 1);
}

WindowTest::~WindowTest() {
  app.reset();
  // The directory tree moves the working directory; put it back for the next test.
  platform::SetWorkingDir(saved_cwd_);
}

void WindowTest::UseTestLanguage() {
  std::string lang = "[info]\r\nname=Test\r\n[LanFile]\r\n";
  for (int n = 1; n <= 101; ++n) lang += std::to_string(n) + "=E" + std::to_string(n) + "\r\n";
  dir.CreateFile("Lang/English.ini", lang);
  std::string config = dir.Read("config.ini");
  if (config == "<missing>") config.clear();
  dir.CreateFile("config.ini", "[Lang]\r\nFile=English.ini\r\n" + config);
}

void WindowTest::CreateApp() {
  App::Options options;
  options.program_dir = dir.Slash();
  options.show_splash = false;
  options.dialogs = &dialogs;
  options.echo = [this](const std::string& line) { echoed.push_back(line); };
  app = std::make_unique<App>(options);
  app->CreateWindows();
}

std::vector<std::string> WindowTest::ConsoleLines() const {
  return app->frmConsole->textConsole->Lines();
}

void WindowTest::Run(const std::string& line) {
  app->Guarded([&] { app->ExecuteCommandLine(line); });
}

void WindowTest::Scan(const std::string& path) {
  app->Form1->SearchLine->setText(BytesToText(path));
  app->Guarded([&] { app->Form1->ScanDirectory1Click(); });
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

int main(int argc, char** argv) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
