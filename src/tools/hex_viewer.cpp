#include "tools/hex_viewer.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/app.h"
#include "config/options_window.h"
#include "ui/byte_text.h"

TfrmHexEditor::TfrmHexEditor(App& app)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), app_(app) {
  setObjectName("frmHexEditor");
  hexmenu = new QMenuBar(this);
  SAVE1 = hexmenu->addAction(QString());
  ABORT1 = hexmenu->addAction(QString());
  CALC1 = hexmenu->addAction(QString());

  lblFile = new QLabel(this);
  lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  memHex = new QPlainTextEdit(this);
  memHex->setReadOnly(true);
  memHex->setLineWrapMode(QPlainTextEdit::NoWrap);
  memHex->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font("Courier New");
  font.setStyleHint(QFont::Monospace);
  font.setBold(true);
  memHex->setFont(font);
  Progresss = new QProgressBar(this);
  Progresss->setTextVisible(false);
  Progresss->setValue(0);

  InfoFile = new QStatusBar(this);
  const int widths[3] = {100, 150, 50};
  for (int i = 0; i < 3; ++i) {
    InfoPanel[i] = new QLabel(InfoFile);
    InfoPanel[i]->setMinimumWidth(widths[i]);
    InfoFile->addWidget(InfoPanel[i]);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(hexmenu);
  layout->addWidget(lblFile);
  layout->addWidget(memHex);
  layout->addWidget(Progresss);
  layout->addWidget(InfoFile);
  resize(576, 447);
}

void TfrmHexEditor::FormCreate() {
  setWindowTitle(app_.Str(27));
  SAVE1->setText(app_.Str(69));
  ABORT1->setText(app_.Str(70));
  CALC1->setText(app_.Str(88));
  // The options window is created before this one; its previews hold the configured colours.
  if (app_.Optionz != nullptr) {
    QPalette palette = memHex->palette();
    palette.setColor(QPalette::Base, app_.Optionz->BackgroundColour());
    palette.setColor(QPalette::Text, app_.Optionz->TextColour());
    memHex->setPalette(palette);
  }
}

void TfrmHexEditor::LoadHexDump(const std::string& path) {
  loaded_path_ = path;
  memHex->clear();
  lblFile->setText(BytesToText(path));
}
