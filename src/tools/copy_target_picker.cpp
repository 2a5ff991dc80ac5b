#include "tools/copy_target_picker.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "platform/mounts.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"

CopyTargetPicker::CopyTargetPicker(QWidget* parent) : QWidget(parent) {
  drvDrive = new QComboBox(this);
  // A picker only points at a target: the program's working directory stays where it is.
  dirCopyTo = new DirTreeList(this, false);
  dirCopyTo->EnterOnClick();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(drvDrive);
  layout->addWidget(dirCopyTo);
}

void CopyTargetPicker::FillDrives() {
  drvDrive->clear();
  for (const std::string& mount : platform::MountPoints()) drvDrive->addItem(BytesToText(mount));
}

void CopyTargetPicker::EnterChosenDrive() {
  dirCopyTo->SetDirectory(TextToBytes(drvDrive->currentText()));
}
