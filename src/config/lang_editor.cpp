#include "config/lang_editor.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"

namespace {
// The editor covers the keys 1 to 100; entry 101 is left to the file as it is.
constexpr int kEditedEntries = 100;
}  // namespace

TfrmLangEdit::TfrmLangEdit(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), app_(app) {
  setObjectName("frmLangEdit");
  txtName = new QLineEdit("mylang.ini", this);
  lblAuth = new QLabel(this);
  txtAutor = new QLineEdit("Anonymos", this);
  lblName = new QLabel(this);
  txtLangName = new QLineEdit("MyLanguage", this);
  lbldate = new QLabel(this);
  txtDate = new QLineEdit(this);
  cmbID = new QComboBox(this);
  memText = new QPlainTextEdit(this);
  btnPlus = new QPushButton("+", this);
  btnSave = new QPushButton(this);
  btnCancel = new QPushButton(this);

  auto* fields = new QFormLayout;
  fields->addRow(txtName);
  fields->addRow(lblAuth, txtAutor);
  fields->addRow(lblName, txtLangName);
  fields->addRow(lbldate, txtDate);
  auto* entry_row = new QHBoxLayout;
  entry_row->addWidget(cmbID);
  entry_row->addWidget(btnPlus);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSave);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(entry_row);
  layout->addWidget(memText);
  layout->addLayout(buttons);
}

void TfrmLangEdit::FormCreate() {
  setWindowTitle(app_.Str(79));
  lblAuth->setText(app_.Str(54));
  lblName->setText(app_.Str(55));
  lbldate->setText(app_.Str(50));
  btnSave->setText(app_.Str(69));
  btnCancel->setText(app_.Str(72));
  txtDate->setText(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
  // Filled once: a repeated creation step must not add the numbers again.
  if (cmbID->count() == 0) {
    for (int n = 1; n <= kEditedEntries; ++n) cmbID->addItem(QString::number(n));
  }
}
