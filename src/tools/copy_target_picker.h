#pragma once

// The target picker of the copy windows: a drive box over a directory list, in which a single
// click on a directory enters it. Choosing a drive moves the list to it.

#include <QWidget>

class DirTreeList;
class QComboBox;

class CopyTargetPicker : public QWidget {
 public:
  explicit CopyTargetPicker(QWidget* parent);

  // Lists the mount points in drvDrive.
  void FillDrives();
  // dirCopyTo moves to the drive chosen in drvDrive.
  void EnterChosenDrive();

  QComboBox* drvDrive;
  DirTreeList* dirCopyTo;
};
