#include "tools/batch_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"

namespace {

constexpr const char* kLegend =
    "Local varables and constants:\n"
    "\n"
    "$NUM = number,\n"
    "$OFN = Old filename,\n"
    "$EXT = Old extension\n"
    "\n"
    "External constants:";

constexpr const char* kBuiltInScript =
    "begin bwscript;\n"
    "\n"
    "//place your code here\n"
    "\n"
    "end;";

}  // namespace

TfrmBatch::TfrmBatch(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
  setObjectName("frmBatch");
  filelest = new QListWidget(this);
  Pages = new QTabWidget(this);
  sheettonombs = BuildNumberingPage();
  tbScript = BuildScriptPage();
  tbsstrRep = BuildReplacePage();
  Pages->addTab(sheettonombs, {});
  Pages->addTab(tbScript, {});
  Pages->addTab(tbsstrRep, {});
  Pages->setCurrentWidget(tbScript);  // the page shown when the window first opens

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(filelest, 1);
  layout->addWidget(Pages, 2);

  connect(butbtngo, &QPushButton::clicked, this,
          [this] { app_.Guarded([this] { butbtngoClick(); }); });
}

QWidget* TfrmBatch::BuildNumberingPage() {
  auto* page = new QWidget;
  maskto = new QLabel(page);
  masktoren = new QLineEdit("$NUM_$OFN", page);
  butbtngo = new QPushButton("------>>>", page);
  btnVars = new QPushButton(page);
  btnConsts = new QPushButton(page);
  legend1 = new QPlainTextEdit(kLegend, page);
  legend1->setReadOnly(true);
  ProgressBar1 = new QProgressBar(page);
  ProgressBar1->setValue(0);

  auto* layout = new QGridLayout(page);
  layout->addWidget(maskto, 0, 0);
  layout->addWidget(masktoren, 0, 1);
  layout->addWidget(butbtngo, 0, 2);
  layout->addWidget(legend1, 1, 0, 1, 3);
  layout->addWidget(btnVars, 2, 0);
  layout->addWidget(btnConsts, 2, 1);
  layout->addWidget(ProgressBar1, 3, 0, 1, 3);
  return page;
}

QWidget* TfrmBatch::BuildScriptPage() {
  auto* page = new QWidget;
  auto* tools = new QToolBar(page);
  btnRun = new QToolButton(tools);
  btnRun->setText("Run");
  ToolButton2 = new QToolButton(tools);
  ToolButton2->setText("Open");
  ToolButton1 = new QToolButton(tools);
  ToolButton1->setText("Save");
  tools->addWidget(btnRun);
  tools->addWidget(ToolButton2);
  tools->addWidget(ToolButton1);
  memscript = new QPlainTextEdit(kBuiltInScript, page);
  memscript->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  memscript->setTabChangesFocus(false);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(tools);
  layout->addWidget(memscript);
  return page;
}

QWidget* TfrmBatch::BuildReplacePage() {
  auto* page = new QWidget;
  txtReplasewhat = new QLineEdit(page);
  lbl1 = new QLabel("- >", page);
  txtReplacewith = new QLineEdit(page);
  btnDo = new QPushButton(">", page);
  StatusBar1 = new QStatusBar(page);
  StatusBar1->setSizeGripEnabled(false);

  auto* row = new QHBoxLayout;
  row->addWidget(txtReplasewhat);
  row->addWidget(lbl1);
  row->addWidget(txtReplacewith);
  row->addWidget(btnDo);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(row);
  layout->addStretch();
  layout->addWidget(StatusBar1);
  return page;
}

void TfrmBatch::FormCreate() {
  setWindowTitle(app_.Str(25));
  Pages->setTabText(Pages->indexOf(sheettonombs), app_.Str(43));
  Pages->setTabText(Pages->indexOf(tbScript), app_.Str(44));
  Pages->setTabText(Pages->indexOf(tbsstrRep), app_.Str(95));
  maskto->setText(app_.Str(71));
  btnVars->setText(app_.Str(93));
  btnConsts->setText(app_.Str(94));
}

void TfrmBatch::butbtngoClick() {}
