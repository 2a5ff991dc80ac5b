#include "console/console_lists.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/app.h"
#include "console/command_rules.h"
#include "console/console_api.h"
#include "console/variable_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"
#include "ui/key_filter.h"
#include "ui/title_fit.h"

namespace {

// A list box that fills its window.
QListWidget* FillingList(QWidget* owner, const char* name) {
  auto* layout = new QVBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* list = new QListWidget(owner);
  list->setObjectName(name);
  layout->addWidget(list);
  return list;
}

// Closes a helper window and hands the keys back to the console's command line, which the
// window manager would otherwise give to the main window.
void CloseAndReturn(App& app, QWidget* helper) {
  helper->close();
  app.Console().ReturnToCommandLine();
}

}  // namespace

TfrmConsoleVars::TfrmConsoleVars(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmConsoleVars");
  setGeometry(192, 114, 195, 317);
  lVars = FillingList(this, "lVars");
  for (const char* name : console::kConsoleVariables) lVars->addItem(name);
  const auto guard = ui::GuardedSlots(app_, this);
  connect(lVars, &QListWidget::itemClicked, this, guard(&TfrmConsoleVars::lVarsClick));
  connect(lVars, &QListWidget::itemDoubleClicked, this, guard(&TfrmConsoleVars::lVarsDblClick));
}

void TfrmConsoleVars::FormCreate() {
  setWindowTitle(app_.Str(93));
  FitTitle(this);
}

void TfrmConsoleVars::lVarsClick() {
  const int row = lVars->currentRow();
  if (row < 0) return;
  // The dialog variables are described rather than evaluated, so a click never opens one.
  static constexpr const char* kDialogHints[] = {"Input dialog", "Open dialog", "Save dialog"};
  if (row >= 3 && row <= 5) {
    lVars->setToolTip(kDialogHints[row - 3]);
  } else {
    lVars->setToolTip(BytesToText(app_.ReplaceVariables(TextToBytes(lVars->item(row)->text()))));
  }
}

void TfrmConsoleVars::lVarsDblClick() {
  QListWidgetItem* item = lVars->currentItem();
  if (item == nullptr) return;
  app_.Console().InsertInCommandLine(item->text());
  CloseAndReturn(app_, this);
}

TfrmConsoleComs::TfrmConsoleComs(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmConsoleComs");
  resize(213, 293);
  lComs = FillingList(this, "lComs");
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(13);
  lComs->setFont(font);
  lComs->setSortingEnabled(true);
  for (const auto& command : console::Commands()) {
    lComs->addItem(QString::fromStdString(console::LowerAscii(command.name)));
  }
  const auto guard = ui::GuardedSlots(app_, this);
  connect(lComs, &QListWidget::itemClicked, this, guard(&TfrmConsoleComs::lComsClick));
  connect(lComs, &QListWidget::itemDoubleClicked, this, guard(&TfrmConsoleComs::lComsDblClick));
}

void TfrmConsoleComs::FormCreate() {
  setWindowTitle(app_.Str(85));
  FitTitle(this);
}

void TfrmConsoleComs::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Against the right edge of the console's frame, as tall as the console.
  app_.Console().PlaceBeside(this);
  FitTitle(this);
}

void TfrmConsoleComs::lComsClick() {
  QListWidgetItem* item = lComs->currentItem();
  if (item == nullptr) return;
  const int index = console::FindCommand(TextToBytes(item->text()));
  if (index >= 0) lComs->setToolTip(QString::fromUtf8(console::Commands()[index].help));
}

void TfrmConsoleComs::lComsDblClick() {
  QListWidgetItem* item = lComs->currentItem();
  if (item == nullptr) return;
  app_.Console().SetCommandBeforeParen(item->text() + "()");
  CloseAndReturn(app_, this);
}

TfrmComz::TfrmComz(App& app) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), app_(app) {
  setObjectName("frmComz");
  resize(212, 129);
  lstCm = FillingList(this, "lstCm");
  new KeyFilter(lstCm, [this](int key) {
    bool used = false;
    app_.Guarded([&] { used = lstCmKeyDown(key); });
    return used;
  });
}

void TfrmComz::Offer(const std::vector<std::string>& names) {
  lstCm->clear();
  for (const std::string& name : names) lstCm->addItem(QString::fromLatin1(name));
  lstCm->setFocus();
}

bool TfrmComz::lstCmKeyDown(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (QListWidgetItem* item = lstCm->currentItem(); item != nullptr && item->isSelected()) {
      app_.Console().SetCommandBeforeParen(item->text());
    }
    CloseAndReturn(app_, this);
    return true;
  }
  if (key == Qt::Key_Escape) {
    CloseAndReturn(app_, this);
    return true;
  }
  return false;
}
