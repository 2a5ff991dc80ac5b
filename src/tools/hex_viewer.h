#pragma once

// The hex viewer: shows the bytes of one file as hexadecimal text. Read-only.

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>
#include <string>

class App;

class TfrmHexEditor : public QWidget {
 public:
  explicit TfrmHexEditor(App& app);

  // Sets the captions and takes the colours of the options window's previews.
  void FormCreate();
  // Shows the file at `path` (bytes): for now the view is emptied and the file is named.
  void LoadHexDump(const std::string& path);
  // The path of the file last handed to LoadHexDump (bytes); empty before the first.
  const std::string& LoadedPath() const { return loaded_path_; }

  QMenuBar* hexmenu;
  QAction* SAVE1;
  QAction* ABORT1;
  QAction* CALC1;
  QLabel* lblFile;
  QPlainTextEdit* memHex;
  QProgressBar* Progresss;
  QStatusBar* InfoFile;
  QLabel* InfoPanel[3];

 private:
  App& app_;
  std::string loaded_path_;
};
