#include "console/console_lists.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/app.h"
#include "console/command_rules.h"
#include "console/console_window.h"
#include "console/variable_rules.h"
#include "ui/byte_text.h"
#include "ui/key_filter.h"

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

// Puts text into the console's command line with the caret just before its last character.
void SetCommandBeforeParen(App& app, const QString& text) {
  app.frmConsole->txtCommand->setText(text);
  app.frmConsole->txtCommand->setCursorPosition(static_cast<int>(text.size()) - 1);
}

// Closes a helper window and hands the keys back to the console's command line, which the
// window manager would otherwise give to the main window.
void CloseAndReturn(App& app, QWidget* helper) {
  helper->close();
  app.frmConsole->ReturnToCommandLine();
}

}  // namespace

TfrmConsoleVars::TfrmConsoleVars(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmConsoleVars");
  setGeometry(192, 114, 195, 317);
  lVars = FillingList(this, "lVars");
  for (const char* name : console::kConsoleVariables) lVars->addItem(name);
  connect(lVars, &QListWidget::itemClicked, this, [this] { app_.Guarded([&] { lVarsClick(); }); });
  connect(lVars, &QListWidget::itemDoubleClicked, this,
          [this] { app_.Guarded([&] { lVarsDblClick(); }); });
}

void TfrmConsoleVars::FormCreate() {
  setWindowTitle(app_.Str(93));
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
  app_.frmConsole->txtCommand->insert(item->text());
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
  connect(lComs, &QListWidget::itemClicked, this, [this] { app_.Guarded([&] { lComsClick(); }); });
  connect(lComs, &QListWidget::itemDoubleClicked, this,
          [this] { app_.Guarded([&] { lComsDblClick(); }); });
}

void TfrmConsoleComs::FormCreate() {
  setWindowTitle(app_.Str(85));
}

void TfrmConsoleComs::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Against the right edge of the console's frame, as tall as the console.
  const QRect console = app_.frmConsole->frameGeometry();
  move(console.left() + console.width(), console.top());
  resize(width(), app_.frmConsole->height());
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
  SetCommandBeforeParen(app_, item->text() + "()");
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

bool TfrmComz::lstCmKeyDown(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (QListWidgetItem* item = lstCm->currentItem(); item != nullptr && item->isSelected()) {
      SetCommandBeforeParen(app_, item->text());
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
