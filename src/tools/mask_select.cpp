#include "tools/mask_select.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

#include "app/app.h"

TMaskSelect::TMaskSelect(App& app) : QWidget(nullptr, Qt::Dialog), app_(app) {
  setObjectName("MaskSelect");
  MaskBox = new QComboBox(this);
  MaskBox->setEditable(true);
  MaskBox->setInsertPolicy(QComboBox::NoInsert);  // items are added by btnAdd only
  MaskBox->setEditText("*.*");
  btnOK = new QPushButton("OK", this);
  btnOK->setDefault(true);
  btnAdd = new QPushButton(this);
  btnDel = new QPushButton(this);
  btnClose = new QPushButton(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(MaskBox, 0, 0, 1, 3);
  layout->addWidget(btnOK, 0, 3);
  layout->addWidget(btnAdd, 1, 0);
  layout->addWidget(btnDel, 1, 1);
  layout->addWidget(btnClose, 1, 3);
}

void TMaskSelect::FormCreate() {
  setWindowTitle(app_.Str(39));
  btnAdd->setText(app_.Str(40));
  btnDel->setText(app_.Str(41));
  btnClose->setText(app_.Str(42));
}
