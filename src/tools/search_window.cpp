#include "tools/search_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>

#include "app/app.h"
#include "ui/window_flags.h"

TfrmSearch::TfrmSearch(App& app) : QWidget(nullptr, kDialogWindowFlags), app_(app) {
  setObjectName("frmSearch");
  txtSearch = new QLineEdit("*.*", this);
  txtPathSea = new QLineEdit(this);
  rearchresults = new QListWidget(this);
  btnStart = new QPushButton(this);
  btnStart->setDefault(true);
  btnQuit = new QPushButton(this);
  info = new QStatusBar(this);
  info->setSizeGripEnabled(false);
  infoPanel = new QLabel("Ready", info);
  infoPanel->setMinimumWidth(50);
  info->addWidget(infoPanel, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtSearch, 0, 0);
  layout->addWidget(txtPathSea, 0, 1);
  layout->addWidget(btnStart, 0, 2);
  layout->addWidget(rearchresults, 1, 0, 1, 3);
  layout->addWidget(btnQuit, 2, 2);
  layout->addWidget(info, 3, 0, 1, 3);
  resize(471, 439);
}

void TfrmSearch::FormCreate() {
  setWindowTitle(app_.Str(83));
  btnStart->setText(app_.Str(87));
  btnQuit->setText(app_.Str(42));
}
