#include "tools/copy_windows.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/app.h"
#include "platform/mounts.h"
#include "ui/byte_text.h"

namespace {

void FillMountPoints(QComboBox* box) {
  box->clear();
  for (const std::string& mount : platform::MountPoints()) box->addItem(BytesToText(mount));
}

}  // namespace

TfrmCopyFile::TfrmCopyFile(App& app) : QWidget(nullptr, Qt::Dialog), app_(app) {
  setObjectName("frmCopyFile");
  txtFileToCopy = new QLineEdit(this);
  txtFileToCopy->setReadOnly(true);
  txtCopyTo = new QLineEdit(this);
  drvDrive = new QComboBox(this);
  dirCopyTo = new QListWidget(this);
  bntCopy = new QPushButton(this);
  bntCopy->setDefault(true);
  btnClose = new QPushButton(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtFileToCopy, 0, 0, 1, 2);
  layout->addWidget(txtCopyTo, 1, 0, 1, 2);
  layout->addWidget(drvDrive, 2, 0, 1, 2);
  layout->addWidget(dirCopyTo, 3, 0, 1, 2);
  layout->addWidget(bntCopy, 4, 0);
  layout->addWidget(btnClose, 4, 1);
  resize(338, 310);
}

void TfrmCopyFile::FormCreate() {
  setWindowTitle(app_.Str(91));
  bntCopy->setText(app_.Str(91));
  btnClose->setText(app_.Str(42));
  FillMountPoints(drvDrive);
}

TfrmMassCopy::TfrmMassCopy(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmMassCopy");
  ArrToCop = new QListWidget(this);
  ArrToCop->hide();
  txtCopyTo = new QLineEdit(this);
  drvDrive = new QComboBox(this);
  dirCopyTo = new QListWidget(this);
  btnCopy = new QPushButton("btnCopy", this);
  btnCopy->setDefault(true);
  btnQuit = new QPushButton("btnQuit", this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtCopyTo, 0, 0, 1, 2);
  layout->addWidget(drvDrive, 1, 0, 1, 2);
  layout->addWidget(dirCopyTo, 2, 0, 1, 2);
  layout->addWidget(btnCopy, 3, 0);
  layout->addWidget(btnQuit, 3, 1);
  resize(312, 336);
}

void TfrmMassCopy::FormCreate() {
  setWindowTitle("[COPY]");
  FillMountPoints(drvDrive);
}
