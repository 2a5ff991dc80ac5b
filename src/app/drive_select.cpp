#include "app/drive_select.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/app.h"
#include "app/main_window_api.h"
#include "platform/mounts.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

TfrmDriveSel::TfrmDriveSel(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmDriveSel");
  selDrivw = new QComboBox(this);
  btnOk = new QPushButton("OK", this);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(selDrivw, 1);
  layout->addWidget(btnOk);
  resize(147, 55);

  connect(btnOk, &QPushButton::clicked, this,
          ui::GuardedSlot(app_, this, &TfrmDriveSel::btnOkClick));
}

void TfrmDriveSel::FormCreate() {
  setWindowTitle(app_.Str(99));
  selDrivw->clear();
  for (const std::string& mount : platform::MountPoints()) selDrivw->addItem(BytesToText(mount));
}

void TfrmDriveSel::btnOkClick() {
  if (selDrivw->currentIndex() < 0 || app_.Form1 == nullptr) return;
  app_.Main().ShowDirectory(TextToBytes(selDrivw->currentText()));
  hide();
}
