#include "tools/mask_select.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

#include "app/app.h"
#include "app/main_window_api.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "tools/mask_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

TMaskSelect::TMaskSelect(App& app) : QWidget(nullptr, Qt::Dialog), app_(app) {
  setObjectName("MaskSelect");
  MaskBox = new QComboBox(this);
  MaskBox->setObjectName("MaskBox");
  MaskBox->setEditable(true);
  MaskBox->setInsertPolicy(QComboBox::NoInsert);  // items are added by btnAdd only
  MaskBox->setEditText("*.*");
  btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnAdd = new QPushButton(this);
  btnAdd->setObjectName("btnAdd");
  btnDel = new QPushButton(this);
  btnDel->setObjectName("btnDel");
  btnClose = new QPushButton(this);
  btnClose->setObjectName("btnClose");

  auto* layout = new QGridLayout(this);
  layout->addWidget(MaskBox, 0, 0, 1, 3);
  layout->addWidget(btnOK, 0, 3);
  layout->addWidget(btnAdd, 1, 0);
  layout->addWidget(btnDel, 1, 1);
  layout->addWidget(btnClose, 1, 3);
  resize(232, 112);

  const auto guard = ui::GuardedSlots(app_, this);
  connect(btnAdd, &QPushButton::clicked, this, guard(&TMaskSelect::btnAddClick));
  connect(btnDel, &QPushButton::clicked, this, guard(&TMaskSelect::btnDelClick));
  connect(btnOK, &QPushButton::clicked, this, guard(&TMaskSelect::btnOKClick));
  connect(btnClose, &QPushButton::clicked, this, guard(&TMaskSelect::btnCloseClick));
}

void TMaskSelect::FormCreate() {
  setWindowTitle(app_.Str(39));
  btnAdd->setText(app_.Str(40));
  btnDel->setText(app_.Str(41));
  btnClose->setText(app_.Str(42));
  // A missing list is an empty list; the edit text stays as it is.
  const std::string file = app_.SettingsDir() + kMaskListFileName;
  const auto text = platform::ReadWholeFile(file);
  list_loaded_ = text.has_value() || !platform::IsFileDirOrLink(file);
  if (!text) return;
  const QString edit = MaskBox->currentText();
  MaskBox->clear();
  for (const std::string& line : platform::SplitLines(*text)) MaskBox->addItem(BytesToText(line));
  MaskBox->setEditText(edit);
}

std::vector<std::string> TMaskSelect::Items() const {
  std::vector<std::string> items;
  for (int i = 0; i < MaskBox->count(); ++i) items.push_back(TextToBytes(MaskBox->itemText(i)));
  return items;
}

void TMaskSelect::FormClose() {
  const std::string file = app_.SettingsDir() + kMaskListFileName;
  // A list shown without the file's lines, because it could not be read, must not replace it.
  if (!list_loaded_) {
    app_.PrintLine("> Warning: Masks not saved, " + file + " could not be read");
    return;
  }
  platform::WriteFileAtomic(file, platform::JoinLinesCrlf(Items()));
}

void TMaskSelect::closeEvent(QCloseEvent* event) {
  app_.Guarded([&] { FormClose(); });
  event->accept();
}

void TMaskSelect::btnAddClick() {
  const QString text = MaskBox->currentText();
  if (MaskBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
  MaskBox->addItem(text);
  MaskBox->setEditText(text);
}

void TMaskSelect::btnDelClick() {
  const QString text = MaskBox->currentText();
  for (int i = MaskBox->count() - 1; i >= 0; --i) {
    if (MaskBox->itemText(i) == text) MaskBox->removeItem(i);
  }
  MaskBox->setEditText(text);
}

void TMaskSelect::btnOKClick() {
  const std::string mask = TextToBytes(MaskBox->currentText());
  if (!mask.empty()) {
    const std::string error = tools::ListingMaskError(mask);
    if (!error.empty()) {
      app_.dialogs().MessageBox(BytesToText(error), app_.Str(2), MsgIcon::kWarning,
                                MsgButtons::kOk);
      return;
    }
    app_.ExecuteCommandLine("bw_mask(" + mask + ")");
    close();
    return;
  }
  switch (app_.dialogs().MessageBox(app_.Str(56), app_.Str(2), MsgIcon::kError,
                                    MsgButtons::kYesNoCancel)) {
    case MsgAnswer::kCancel:
      MaskBox->setEditText("*.*");
      return;
    case MsgAnswer::kYes:
      app_.FileMask = "*.*";
      break;
    default:
      break;
  }
  close();
  app_.Main().SetMask(app_.FileMask);
}

void TMaskSelect::btnCloseClick() {
  platform::WriteFileAtomic(kMaskCopyFileName, platform::JoinLinesCrlf(Items()));
  close();
}
