#pragma once

// Window tests: an App over a temporary program directory, with scripted dialogs and every
// console line collected.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QStringList>

#include "app/app.h"
#include "support/temp_dir.h"
#include "ui/dialogs.h"

class QListWidget;

// The texts of a list's rows, top first.
QStringList Items(const QListWidget* list);

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // Builds the window set once the test has written the files it wants into `dir`.
  void CreateApp();
  // Writes Lang/English.ini with "E<n>" for every entry n, and a config.ini that chooses it.
  void UseTestLanguage();
  // The console text, top line first.
  std::vector<std::string> ConsoleLines() const;
  // Runs one console line as the command line's Enter key does.
  void Run(const std::string& line);
  // Types a path into the main window's path line and lists it, errors reported as a click's.
  void Scan(const std::string& path);

  TempDir dir;
  // $XDG_DATA_HOME for the test: deleted files go to data_home.Path() + "/Trash".
  TempDir data_home;
  ScriptedDialogs dialogs;
  std::vector<std::string> echoed;  // every console line, in printing order
  std::unique_ptr<App> app;

 private:
  std::string saved_cwd_;
};
