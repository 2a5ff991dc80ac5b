#include "export/small_css.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/app.h"

TfrmSmallCss::TfrmSmallCss(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
  setObjectName("frmSmallCss");
  treCss = new QTreeWidget(this);
  treCss->setColumnCount(1);
  treCss->header()->hide();
  treCss->addTopLevelItem(new QTreeWidgetItem(QStringList{"BODY"}));
  treCss->setContextMenuPolicy(Qt::CustomContextMenu);

  mnuPopCss = new QMenu(this);
  AddTag1 = mnuPopCss->addAction(QString());
  EditTag1 = mnuPopCss->addAction(QString());
  Delete = mnuPopCss->addAction(QString());
  mnuPopCss->addSeparator();
  Load1 = mnuPopCss->addAction(QString());

  btnSave = new QPushButton(this);
  pnlEditor = BuildEditor();
  pnlEditor->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(treCss);
  layout->addWidget(pnlEditor);
  layout->addWidget(btnSave);

  connect(treCss, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    app_.Guarded([&] { mnuPopCss->popup(treCss->viewport()->mapToGlobal(at)); });
  });
}

QWidget* TfrmSmallCss::BuildEditor() {
  auto* panel = new QWidget(this);
  txtBgClr = new QLineEdit("#000000", panel);
  SpeedButton1 = new QPushButton("...", panel);
  txtColor = new QLineEdit("#FFFFFF", panel);
  btnSelColor = new QPushButton("...", panel);
  txtFontFam = new QLineEdit("Arial", panel);
  btnFonF = new QPushButton("...", panel);
  txtFontSize = new QLineEdit(panel);
  ComboBox1 = new QComboBox(panel);
  ComboBox1->addItems({"Regular", "bolder", "lighter"});
  cxDecor = new QComboBox(panel);
  cxDecor->addItems({"none", "underline", "overline", "strikeout"});
  Button1 = new QPushButton(panel);

  auto* layout = new QGridLayout(panel);
  layout->addWidget(new QLabel("Background:", panel), 0, 0);
  layout->addWidget(txtBgClr, 0, 1);
  layout->addWidget(SpeedButton1, 0, 2);
  layout->addWidget(new QLabel("Color:", panel), 1, 0);
  layout->addWidget(txtColor, 1, 1);
  layout->addWidget(btnSelColor, 1, 2);
  layout->addWidget(new QLabel("Font family:", panel), 2, 0);
  layout->addWidget(txtFontFam, 2, 1);
  layout->addWidget(btnFonF, 2, 2);
  layout->addWidget(new QLabel("Font Size", panel), 3, 0);
  layout->addWidget(txtFontSize, 3, 1);
  layout->addWidget(new QLabel("Font weight:", panel), 4, 0);
  layout->addWidget(ComboBox1, 4, 1);
  layout->addWidget(new QLabel("Text decoration:", panel), 5, 0);
  layout->addWidget(cxDecor, 5, 1);
  layout->addWidget(Button1, 6, 1);
  return panel;
}

void TfrmSmallCss::FormCreate() {
  setWindowTitle(app_.Str(68));
  AddTag1->setText(app_.Str(75));
  EditTag1->setText(app_.Str(75));
  Delete->setText(app_.Str(20));
  Load1->setText(app_.Str(3));
  btnSave->setText(app_.Str(69));
  Button1->setText(app_.Str(65));
}
