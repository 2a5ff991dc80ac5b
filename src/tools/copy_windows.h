#pragma once

// The two copy windows: one file to an editable target path, or several files into one
// directory. Both refuse to replace an existing target, show their progress in files and
// bytes, and can be stopped; a stopped copy leaves no partial file.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

class App;
class QLabel;
class CopyProgressPanel;
class CopyTargetPicker;
class DirTreeList;

// Copies the file last clicked in the main list.
class TfrmCopyFile : public QWidget {
 public:
  explicit TfrmCopyFile(App& app);

  // Sets the captions from the language table and lists the mount points in drvDrive.
  void FormCreate();
  // Shows CurrentFile as the source and points dirCopyTo at CurrentDir.
  void FormShow();
  // txtCopyTo becomes the directory of dirCopyTo followed by the name of CurrentFile.
  void dirCopyToChange();
  void drvDriveChange();
  // Copies CurrentFile to the target text (variables replaced); closes the window on success,
  // beeps and stays open on failure, with the reason in lblStatus.
  void bntCopyClick();
  void btnCloseClick();

  QLineEdit* txtFileToCopy;
  QLineEdit* txtCopyTo;
  CopyTargetPicker* picker;  // holds drvDrive and dirCopyTo
  QComboBox* drvDrive;
  DirTreeList* dirCopyTo;
  QPushButton* bntCopy;
  QPushButton* btnClose;
  CopyProgressPanel* pnlProgress;
  QLabel* lblStatus;  // what went wrong with the last copy, shown in the window

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowFailure(const std::string& line);

  App& app_;
};

// Copies the names collected in ArrToCop into one directory.
class TfrmMassCopy : public QWidget {
 public:
  explicit TfrmMassCopy(App& app);

  // Lists the mount points in drvDrive; this window's captions are fixed.
  void FormCreate();
  // A text that names an existing directory moves dirCopyTo there.
  void txtCopyToChange();
  // txtCopyTo shows the directory of dirCopyTo.
  void dirCopyToChange();
  void drvDriveChange();
  // Copies every name of ArrToCop, first to last, from CurrentDir into the directory of
  // dirCopyTo, reporting each in the console; closes the window when all were copied, and
  // otherwise stays open with the failures in lblStatus.
  void btnCopyClick();
  void btnQuitClick();
  // Adds names of the listed directory to the names to copy.
  void AddNames(const std::vector<std::string>& names);

  // The names to copy as the main list shows them; hidden, and never emptied by the window,
  // so a later copy goes through the names of earlier ones again.
  QListWidget* ArrToCop;
  QLineEdit* txtCopyTo;
  CopyTargetPicker* picker;  // holds drvDrive and dirCopyTo
  QComboBox* drvDrive;
  DirTreeList* dirCopyTo;
  QPushButton* btnCopy;
  QPushButton* btnQuit;
  CopyProgressPanel* pnlProgress;
  QLabel* lblStatus;  // what the last run could not copy

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  App& app_;
  QString start_target_;  // the target shown before the user picked one
};
