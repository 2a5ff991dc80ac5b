#pragma once

// The two copy windows: one file to an editable target path, or several files into one
// directory. Both refuse to replace an existing target.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

class App;

// Copies the file last clicked in the main list.
class TfrmCopyFile : public QWidget {
 public:
  explicit TfrmCopyFile(App& app);

  // Sets the captions from the language table and lists the mount points in drvDrive.
  void FormCreate();

  QLineEdit* txtFileToCopy;
  QLineEdit* txtCopyTo;
  QComboBox* drvDrive;
  QListWidget* dirCopyTo;
  QPushButton* bntCopy;
  QPushButton* btnClose;

 private:
  App& app_;
};

// Copies the names collected in ArrToCop into one directory.
class TfrmMassCopy : public QWidget {
 public:
  explicit TfrmMassCopy(App& app);

  // Lists the mount points in drvDrive; this window's captions are fixed.
  void FormCreate();

  // The names to copy, without directory; hidden, and never emptied by the window.
  QListWidget* ArrToCop;
  QLineEdit* txtCopyTo;
  QComboBox* drvDrive;
  QListWidget* dirCopyTo;
  QPushButton* btnCopy;
  QPushButton* btnQuit;

 private:
  App& app_;
};
