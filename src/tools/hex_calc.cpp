#include "tools/hex_calc.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/app.h"

TfrmHexCalc::TfrmHexCalc(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmHexCalc");
  txtChislo = new QLineEdit("FF", this);
  rgtypBox = new QGroupBox(this);
  rgtyp = new QButtonGroup(this);
  auto* types = new QHBoxLayout(rgtypBox);
  const char* names[3] = {"HEX", "DEC", "CHR"};
  for (int id = 0; id < 3; ++id) {
    auto* radio = new QRadioButton(names[id], rgtypBox);
    rgtyp->addButton(radio, id);
    types->addWidget(radio);
  }
  rgtyp->button(0)->setChecked(true);
  btnHex = new QPushButton("HEX", this);
  btnDec = new QPushButton("DEC", this);
  btnChar = new QPushButton("CHAR", this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtChislo, 0, 0, 1, 3);
  layout->addWidget(rgtypBox, 1, 0, 1, 3);
  layout->addWidget(btnHex, 2, 0);
  layout->addWidget(btnDec, 2, 1);
  layout->addWidget(btnChar, 2, 2);
}

void TfrmHexCalc::FormCreate() {
  setWindowTitle(app_.Str(88));
}
