#include "tools/hex_calc.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/app.h"
#include "tools/hex_calc_rules.h"
#include "ui/guarded_slot.h"

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

  const auto guard = ui::GuardedSlots(app_, this);
  connect(btnHex, &QPushButton::clicked, this, guard(&TfrmHexCalc::btnHexClick));
  connect(btnDec, &QPushButton::clicked, this, guard(&TfrmHexCalc::btnDecClick));
  connect(btnChar, &QPushButton::clicked, this, guard(&TfrmHexCalc::btnCharClick));
}

void TfrmHexCalc::FormCreate() {
  setWindowTitle(app_.Str(88));
}

void TfrmHexCalc::SetHexNumber(const std::string& number) {
  txtChislo->setText(QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size())));
  rgtyp->button(0)->setChecked(true);
}

void TfrmHexCalc::btnHexClick() {
  ConvertTo(0);
}

void TfrmHexCalc::btnDecClick() {
  ConvertTo(1);
}

void TfrmHexCalc::btnCharClick() {
  ConvertTo(2);
}

void TfrmHexCalc::ConvertTo(int to) {
  const int from = std::max(0, rgtyp->checkedId());
  const tools::CalcResult result =
      tools::ConvertByte(txtChislo->text().toStdU32String(), static_cast<tools::Notation>(from),
                         static_cast<tools::Notation>(to));
  if (result.text) txtChislo->setText(QString::fromStdU32String(*result.text));
  if (result.notation_changes) {
    rgtyp->button(to)->setChecked(true);
  } else {
    // The value has no form in that notation; a beep says that nothing changed.
    app_.dialogs().Beep(false);
  }
}
