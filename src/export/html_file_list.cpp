#include "export/html_file_list.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/app.h"
#include "platform/enumerate.h"
#include "ui/byte_text.h"
#include "ui/window_flags.h"

TfrmHTMLFileList::TfrmHTMLFileList(App& app) : QWidget(nullptr, kDialogWindowFlags), app_(app) {
  setObjectName("frmHTMLFileList");
  path = new QLineEdit(this);
  path->setReadOnly(true);
  flFoolPath = new QCheckBox(this);
  flDate = new QCheckBox(this);
  flSize = new QCheckBox(this);
  title = new QLabel(this);
  fTitle = new QLineEdit(this);
  btOK = new QPushButton("OK", this);
  btOK->setDefault(true);
  btCancel = new QPushButton(this);
  btnstyles = new QPushButton(this);
  Label1 = new QLabel(this);
  lStyles = new QListWidget(this);
  btnSmall = new QPushButton(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(path, 0, 0, 1, 2);
  layout->addWidget(flFoolPath, 1, 0, 1, 2);
  layout->addWidget(flDate, 2, 0, 1, 2);
  layout->addWidget(flSize, 3, 0, 1, 2);
  layout->addWidget(title, 4, 0, 1, 2);
  layout->addWidget(fTitle, 5, 0, 1, 2);
  layout->addWidget(btOK, 6, 0);
  layout->addWidget(btCancel, 6, 1);
  layout->addWidget(btnstyles, 7, 0, 1, 2);
  layout->addWidget(Label1, 0, 2);
  layout->addWidget(lStyles, 1, 2, 6, 1);
  layout->addWidget(btnSmall, 7, 2);
}

void TfrmHTMLFileList::FormCreate() {
  lStyles->clear();
  setWindowTitle(app_.Str(26));
  flFoolPath->setText(app_.Str(48));
  flDate->setText(app_.Str(50));
  flSize->setText(app_.Str(49));
  title->setText(app_.Str(51));
  btCancel->setText(app_.Str(72));
  btnstyles->setText(app_.Str(52) + " > > >");
  Label1->setText(app_.Str(52));
  btnSmall->setText(app_.Str(68));
  // Ordinary files only: the default filter leaves hidden entries out, directories are skipped.
  platform::EnumerateEntries(app_.ProgramDir() + "FL/*.css", {},
                             [this](const platform::DirEntry& entry) {
                               if (!entry.is_dir) lStyles->addItem(BytesToText(entry.name));
                             });
}
