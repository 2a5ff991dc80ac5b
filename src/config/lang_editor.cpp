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
#include "config/options_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

// The editor covers the keys 1 to 100; entry 101 is left to the file as it is.
using config::kEditedEntries;

TfrmLangEdit::TfrmLangEdit(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      app_(app),
      texts_(kEditedEntries) {
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

  const auto guard = ui::GuardedSlots(app_, this);
  connect(cmbID, &QComboBox::currentIndexChanged, this, guard(&TfrmLangEdit::cmbIDChange));
  connect(btnPlus, &QPushButton::clicked, this, guard(&TfrmLangEdit::btnPlusClick));
  connect(btnSave, &QPushButton::clicked, this, guard(&TfrmLangEdit::btnSaveClick));
  connect(btnCancel, &QPushButton::clicked, this, guard(&TfrmLangEdit::btnCancelClick));
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

void TfrmLangEdit::Load(const std::string& path) {
  config::LanguageFileTexts file = config::ReadLanguageFile(path);
  texts_ = std::move(file.entries);
  txtAutor->setText(BytesToText(file.author));
  txtLangName->setText(BytesToText(file.name));
}

void TfrmLangEdit::cmbIDChange() {
  const int index = cmbID->currentIndex();
  if (index < 0) return;
  memText->setPlainText(BytesToText(texts_[static_cast<std::size_t>(index)]));
}

void TfrmLangEdit::btnPlusClick() {
  const int index = cmbID->currentIndex();
  if (index < 0) {
    app_.dialogs().Beep(true);
    return;
  }
  texts_[static_cast<std::size_t>(index)] = TextToBytes(memText->toPlainText());
}

void TfrmLangEdit::btnSaveClick() {
  config::LanguageFileTexts file;
  file.author = TextToBytes(txtAutor->text());
  file.name = TextToBytes(txtLangName->text());
  file.date = TextToBytes(txtDate->text());
  file.entries = texts_;
  config::WriteLanguageFile(app_.ProgramDir() + "Lang/" + TextToBytes(txtName->text()), file);
  hide();
}

void TfrmLangEdit::btnCancelClick() {
  hide();
}
