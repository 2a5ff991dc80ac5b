#pragma once

// The drive selection window: lists the root of a chosen mount point in the main window.

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

class App;

class TfrmDriveSel : public QWidget {
 public:
  explicit TfrmDriveSel(App& app);

  // Sets the caption and lists the mount points, "/" first.
  void FormCreate();
  // Puts the chosen mount point into the main window's path line, lists it and hides this window.
  void btnOkClick();

  QComboBox* selDrivw;
  QPushButton* btnOk;

 private:
  App& app_;
};
