#include "export/small_css.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <stdexcept>

#include "app/app.h"
#include "export/html_file_list.h"
#include "export/style_tree_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

namespace {

constexpr const char* kStyleFilter = "Cascade Style Sheet|*.css";

void AddEntries(const css::StyleTree& entries, QTreeWidgetItem* parent, QTreeWidget* tree) {
  for (const css::StyleEntry& entry : entries) {
    auto* item = new QTreeWidgetItem(QStringList{BytesToText(entry.text)});
    if (parent) {
      parent->addChild(item);
    } else {
      tree->addTopLevelItem(item);
    }
    AddEntries(entry.children, item, tree);
  }
}

css::StyleEntry EntryOf(const QTreeWidgetItem* item) {
  css::StyleEntry entry{TextToBytes(item->text(0)), {}};
  for (int i = 0; i < item->childCount(); ++i) entry.children.push_back(EntryOf(item->child(i)));
  return entry;
}

css::StyleTree TreeOf(const QTreeWidget* tree) {
  css::StyleTree entries;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    entries.push_back(EntryOf(tree->topLevelItem(i)));
  }
  return entries;
}

}  // namespace

TfrmSmallCss::TfrmSmallCss(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
  setObjectName("frmSmallCss");
  resize(360, 420);
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
  const auto guard = ui::GuardedSlots(app_, this);
  connect(AddTag1, &QAction::triggered, this, guard(&TfrmSmallCss::AddTag1Click));
  connect(EditTag1, &QAction::triggered, this, guard(&TfrmSmallCss::EditTag1Click));
  connect(Delete, &QAction::triggered, this, guard(&TfrmSmallCss::DeleteClick));
  connect(Load1, &QAction::triggered, this, guard(&TfrmSmallCss::Load1Click));
  connect(btnSave, &QPushButton::clicked, this, guard(&TfrmSmallCss::btnSaveClick));
  connect(Button1, &QPushButton::clicked, this, guard(&TfrmSmallCss::Button1Click));
  connect(SpeedButton1, &QPushButton::clicked, this, guard(&TfrmSmallCss::SpeedButton1Click));
  connect(btnSelColor, &QPushButton::clicked, this, guard(&TfrmSmallCss::btnSelColorClick));
  connect(btnFonF, &QPushButton::clicked, this, guard(&TfrmSmallCss::btnFonFClick));
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
  style_dir_ = app_.ProgramDir() + "FL/";
  setWindowTitle(app_.Str(68));
  AddTag1->setText(app_.Str(75));
  EditTag1->setText(app_.Str(75));
  Delete->setText(app_.Str(20));
  Load1->setText(app_.Str(3));
  btnSave->setText(app_.Str(69));
  Button1->setText(app_.Str(65));
}

QTreeWidgetItem* TfrmSmallCss::SelectedEntry() const {
  const QList<QTreeWidgetItem*> selected = treCss->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void TfrmSmallCss::AddTag1Click() {
  const std::optional<QString> name =
      app_.dialogs().InputBox("Add Tag", "Tag name (ex: A:HOVER)", QString());
  if (!name) return;
  auto* item = new QTreeWidgetItem(QStringList{*name});
  QTreeWidgetItem* top = treCss->itemAt(0, 0);
  if (top && top->parent()) {
    top->parent()->insertChild(0, item);
  } else {
    treCss->insertTopLevelItem(0, item);
  }
}

void TfrmSmallCss::EditTag1Click() {
  QTreeWidgetItem* tag = SelectedEntry();
  if (!tag) return;
  tag->addChild(new QTreeWidgetItem(QStringList{" "}));
  tag->setExpanded(true);
  treCss->setCurrentItem(tag->child(0));
  pnlEditor->show();
}

void TfrmSmallCss::DeleteClick() {
  delete SelectedEntry();
}

void TfrmSmallCss::Button1Click() {
  if (QTreeWidgetItem* entry = SelectedEntry()) {
    css::Declaration d;
    d.background = TextToBytes(txtBgClr->text());
    d.color = TextToBytes(txtColor->text());
    d.font_family = TextToBytes(txtFontFam->text());
    d.font_weight = TextToBytes(ComboBox1->currentText());
    d.font_size = TextToBytes(txtFontSize->text());
    d.decoration = TextToBytes(cxDecor->currentText());
    entry->setText(0, BytesToText(css::BuildDeclaration(d)));
  }
  pnlEditor->hide();
}

void TfrmSmallCss::ChooseColorInto(QLineEdit* field) {
  QColor initial(field->text());
  if (!initial.isValid()) initial = Qt::black;
  if (const std::optional<QColor> color = app_.dialogs().ChooseColor(initial)) {
    field->setText(
        QString::fromStdString(css::ColorText(color->red(), color->green(), color->blue())));
  }
}

void TfrmSmallCss::SpeedButton1Click() {
  ChooseColorInto(txtBgClr);
}

void TfrmSmallCss::btnSelColorClick() {
  ChooseColorInto(txtColor);
}

void TfrmSmallCss::btnFonFClick() {
  QFont initial(txtFontFam->text());
  const int size = txtFontSize->text().chopped(txtFontSize->text().endsWith("pt") ? 2 : 0).toInt();
  initial.setPointSize(size > 0 ? size : 8);
  const std::optional<QFont> font = app_.dialogs().ChooseFont(initial);
  if (!font) return;
  txtFontFam->setText(font->family());
  const int points = font->pointSize() > 0 ? font->pointSize() : qRound(font->pointSizeF());
  txtFontSize->setText(QString::number(points) + "pt");
}

void TfrmSmallCss::Load1Click() {
  const QString chosen = app_.dialogs().OpenFileName(QString(), BytesToText(style_dir_));
  if (chosen.isEmpty()) return;
  const std::string file = TextToBytes(chosen);
  const std::optional<std::string> text = platform::ReadWholeFile(file);
  if (!text) throw std::runtime_error("Cannot open file \"" + file + "\"");
  const css::StyleTreeRead read = css::ReadStyleTree(*text);
  if (read.bad_line != 0) {
    throw std::runtime_error("Invalid level (" + std::to_string(read.bad_level) + ") for item \"" +
                             read.bad_text + "\" in line " + std::to_string(read.bad_line) +
                             " of \"" + file + "\"");
  }
  treCss->clear();
  AddEntries(read.tree, nullptr, treCss);
}

void TfrmSmallCss::btnSaveClick() {
  const QString chosen = app_.dialogs().SaveFileName(kStyleFilter, BytesToText(style_dir_));
  if (chosen.isEmpty()) return;
  const std::string file = TextToBytes(chosen);
  platform::WriteFileAtomic(file, css::WriteStyleTree(TreeOf(treCss)));
  if (!css::IsDirectlyIn(file, style_dir_)) return;
  // The HTML file list offers every style file once, as its creation step lists them.
  app_.frmHTMLFileList->AddStyle(BytesToText(file.substr(style_dir_.size())));
}
