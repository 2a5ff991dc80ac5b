#include "tools/copy_windows.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdint>
#include <vector>

#include "app/app.h"
#include "app/listing_rules.h"
#include "app/undo_command.h"
#include "console/console_window.h"
#include "platform/file_identity.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "tools/copy_progress.h"
#include "tools/copy_rules.h"
#include "tools/copy_target_picker.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"
#include "ui/guarded_slot.h"
#include "ui/title_fit.h"

namespace {

// The label under a copy window's buttons that tells what went wrong; the console may be hidden.
QLabel* StatusLabel(QWidget* window) {
  auto* label = new QLabel(window);
  label->setObjectName("lblStatus");
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Runs `handler` through the error report when `signal` of `sender` fires.
template <typename Sender, typename Signal, typename Window>
void Wire(App& app, Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
  QObject::connect(sender, signal, window, ui::GuardedSlot(app, window, handler));
}

}  // namespace

TfrmCopyFile::TfrmCopyFile(App& app) : QWidget(nullptr, Qt::Dialog), app_(app) {
  setObjectName("frmCopyFile");
  txtFileToCopy = new QLineEdit(this);
  txtFileToCopy->setReadOnly(true);
  txtCopyTo = new QLineEdit(this);
  picker = new CopyTargetPicker(this);
  drvDrive = picker->drvDrive;
  dirCopyTo = picker->dirCopyTo;
  bntCopy = new QPushButton(this);
  bntCopy->setDefault(true);
  btnClose = new QPushButton(this);
  pnlProgress = new CopyProgressPanel(this);
  lblStatus = StatusLabel(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtFileToCopy, 0, 0, 1, 2);
  layout->addWidget(txtCopyTo, 1, 0, 1, 2);
  layout->addWidget(picker, 2, 0, 1, 2);
  layout->addWidget(pnlProgress, 3, 0, 1, 2);
  layout->addWidget(bntCopy, 4, 0);
  layout->addWidget(btnClose, 4, 1);
  layout->addWidget(lblStatus, 5, 0, 1, 2);
  resize(338, 310);

  Wire(app_, dirCopyTo, &DirTreeList::Changed, this, &TfrmCopyFile::dirCopyToChange);
  Wire(app_, drvDrive, &QComboBox::activated, this, &TfrmCopyFile::drvDriveChange);
  Wire(app_, bntCopy, &QPushButton::clicked, this, &TfrmCopyFile::bntCopyClick);
  Wire(app_, btnClose, &QPushButton::clicked, this, &TfrmCopyFile::btnCloseClick);
}

void TfrmCopyFile::FormCreate() {
  setWindowTitle(app_.Str(91));
  bntCopy->setText(app_.Str(91));
  btnClose->setText(app_.Str(42));
  picker->FillDrives();
  FitTitle(this);
}

void TfrmCopyFile::FormShow() {
  lblStatus->clear();
  txtFileToCopy->setText(BytesToText(app_.CurrentFile));
  // The tree holds its directory without the final delimiter, so this always notifies and the
  // target is worked out afresh for the file now current.
  dirCopyTo->SetDirectory(app_.CurrentDir);
}

void TfrmCopyFile::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!pnlProgress->running()) app_.Guarded([this] { FormShow(); });
}

void TfrmCopyFile::dirCopyToChange() {
  txtCopyTo->setText(
      BytesToText(copying::JoinPath(dirCopyTo->Directory(), platform::BaseName(app_.CurrentFile))));
}

void TfrmCopyFile::drvDriveChange() {
  picker->EnterChosenDrive();
}

void TfrmCopyFile::bntCopyClick() {
  if (pnlProgress->running()) return;
  const std::string from = TextToBytes(txtFileToCopy->text());
  const std::string to = TextToBytes(txtCopyTo->text());
  app_.PrintLine(app_.ReplaceVariables("> Copy: " + Quoted(from) + " to " + Quoted(to)));
  const std::string target = app_.ReplaceVariables(to);
  const std::string source = app_.CurrentFile;

  // What the copy will read, a link followed, as in the multi-file copy.
  const auto id = platform::GetTargetIdentity(source);
  lblStatus->clear();
  pnlProgress->Begin(1, id ? id->size : 0);
  bntCopy->setEnabled(false);
  const auto record = RecordTransfer(app_, tools::UndoKind::kCopy, {{source, target, id}});
  const platform::CopyOutcome outcome = platform::CopyFileReporting(
      source, target, [this](std::int64_t copied) { return pnlProgress->Report(0, copied); });
  pnlProgress->End();
  bntCopy->setEnabled(true);

  switch (outcome) {
    case platform::CopyOutcome::kCopied:
      close();
      break;
    case platform::CopyOutcome::kStopped:
      ShowFailure(copying::StoppedLine(target));
      break;
    case platform::CopyOutcome::kNotRegular:
      ShowFailure(copying::SkippedLine(source));
      app_.dialogs().Beep(true);
      break;
    case platform::CopyOutcome::kFailed:
      // An existing target, a full disk or a refused file: nothing was copied, and no partial
      // copy is left.
      ShowFailure("> Error: Can't copy " + Quoted(source) + " to " + Quoted(target));
      app_.dialogs().Beep(true);
      break;
  }
}

void TfrmCopyFile::ShowFailure(const std::string& line) {
  // The console may be hidden: the window the user is looking at says it too.
  app_.PrintLine(line);
  lblStatus->setText(BytesToText(line));
}

void TfrmCopyFile::btnCloseClick() {
  close();
}

void TfrmCopyFile::closeEvent(QCloseEvent* event) {
  // Closing during a copy stops it; the copy removes what it had written.
  pnlProgress->RequestStop();
  event->accept();
}

TfrmMassCopy::TfrmMassCopy(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmMassCopy");
  ArrToCop = new QListWidget(this);
  ArrToCop->hide();
  txtCopyTo = new QLineEdit(this);
  picker = new CopyTargetPicker(this);
  drvDrive = picker->drvDrive;
  dirCopyTo = picker->dirCopyTo;
  btnCopy = new QPushButton("btnCopy", this);
  btnCopy->setDefault(true);
  btnQuit = new QPushButton("btnQuit", this);
  pnlProgress = new CopyProgressPanel(this);
  lblStatus = StatusLabel(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtCopyTo, 0, 0, 1, 2);
  layout->addWidget(picker, 1, 0, 1, 2);
  layout->addWidget(pnlProgress, 2, 0, 1, 2);
  layout->addWidget(btnCopy, 3, 0);
  layout->addWidget(btnQuit, 3, 1);
  layout->addWidget(lblStatus, 4, 0, 1, 2);
  resize(312, 336);

  Wire(app_, txtCopyTo, &QLineEdit::textChanged, this, &TfrmMassCopy::txtCopyToChange);
  Wire(app_, dirCopyTo, &DirTreeList::Changed, this, &TfrmMassCopy::dirCopyToChange);
  Wire(app_, drvDrive, &QComboBox::activated, this, &TfrmMassCopy::drvDriveChange);
  Wire(app_, btnCopy, &QPushButton::clicked, this, &TfrmMassCopy::btnCopyClick);
  Wire(app_, btnQuit, &QPushButton::clicked, this, &TfrmMassCopy::btnQuitClick);
}

void TfrmMassCopy::AddNames(const std::vector<std::string>& names) {
  for (const std::string& name : names) ArrToCop->addItem(BytesToText(name));
}

void TfrmMassCopy::FormCreate() {
  setWindowTitle("[COPY]");
  picker->FillDrives();
  if (txtCopyTo->text().isEmpty()) dirCopyToChange();
  start_target_ = txtCopyTo->text();
}

void TfrmMassCopy::txtCopyToChange() {
  const std::string text = TextToBytes(txtCopyTo->text());
  if (platform::DirectoryExists(text)) dirCopyTo->SetDirectory(text);
}

void TfrmMassCopy::dirCopyToChange() {
  std::string shown = TextToBytes(txtCopyTo->text());
  while (shown.size() > 1 && platform::EndsWithDelim(shown)) shown.pop_back();
  // A text that names the directory already stays as typed, so typing a path is not undone
  // under the cursor.
  if (shown == dirCopyTo->Directory()) return;
  txtCopyTo->setText(BytesToText(app::TreeDirToPath(dirCopyTo->Directory())));
}

void TfrmMassCopy::drvDriveChange() {
  picker->EnterChosenDrive();
  dirCopyToChange();
}

void TfrmMassCopy::btnCopyClick() {
  if (pnlProgress->running()) return;
  app_.Show(app_.frmConsole);
  // Everything the run needs is taken now: the main window may list another directory, and
  // the window may be handed more names, while the run lets window messages through.
  struct Item {
    std::string source, target;
    std::int64_t size;
  };
  const std::string target_dir = dirCopyTo->Directory();
  std::vector<Item> items;
  std::vector<tools::TransferRecord::Pair> pairs;
  std::int64_t total = 0;
  for (int i = 0; i < ArrToCop->count(); ++i) {
    const std::string name = TextToBytes(ArrToCop->item(i)->text());
    const std::string source = copying::SourcePath(app_.CurrentDir, name);
    const std::string target = copying::JoinPath(target_dir, platform::BaseName(name));
    // What the copy will read, a link followed: its size for the progress, and for the undo
    // record the size and time the copy takes from it.
    const auto id = platform::GetTargetIdentity(source);
    items.push_back({source, target, id ? id->size : 0});
    pairs.push_back({source, target, id});
    total += items.back().size;
  }

  const auto record = RecordTransfer(app_, tools::UndoKind::kCopy, pairs);
  lblStatus->clear();
  pnlProgress->Begin(static_cast<int>(items.size()), total);
  btnCopy->setEnabled(false);
  std::int64_t done = 0;
  int files_done = 0;
  std::string stopped;
  std::vector<std::string> failures;  // for the window: the console's error line names nothing
  for (const Item& item : items) {
    // A stop asked for between two files ends the run before the next one.
    if (files_done > 0 && !pnlProgress->Report(files_done, done)) {
      stopped = "> Warning: Copy stopped";
      break;
    }
    const platform::CopyOutcome outcome = platform::CopyFileReporting(
        item.source, item.target,
        [&](std::int64_t copied) { return pnlProgress->Report(files_done, done + copied); });
    if (outcome == platform::CopyOutcome::kStopped) {
      stopped = copying::StoppedLine(item.target);
      break;
    }
    if (outcome == platform::CopyOutcome::kCopied) {
      app_.PrintLine("> OK : Copy " + Quoted(item.source) + " to " + Quoted(item.target));
    } else if (outcome == platform::CopyOutcome::kNotRegular) {
      failures.push_back(copying::SkippedLine(item.source));
      app_.PrintLine(failures.back());
    } else {
      failures.push_back("> Error: Can't copy " + Quoted(item.source) + " to " +
                         Quoted(item.target));
      app_.PrintLine("> Error: Can't copy...");
    }
    done += item.size;
    ++files_done;
  }
  pnlProgress->End();
  btnCopy->setEnabled(true);
  if (!stopped.empty()) {
    app_.PrintLine(stopped);
    lblStatus->setText(BytesToText(stopped));
    return;
  }
  app_.PrintLine("> OK : Finished!");
  // A run that left files behind stays open and says which, so the user sees it at once.
  if (!failures.empty()) {
    lblStatus->setText(BytesToText(copying::FailuresText(failures, files_done)));
    app_.dialogs().Beep(true);
    return;
  }
  close();
}

void TfrmMassCopy::btnQuitClick() {
  close();
}

void TfrmMassCopy::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Until the user picks a target, it follows the listed directory, never the program's own.
  if (pnlProgress->running() || app_.CurrentDir.empty() || txtCopyTo->text() != start_target_)
    return;
  app_.Guarded([this] { dirCopyTo->SetDirectory(app_.CurrentDir); });
  start_target_ = txtCopyTo->text();
}

void TfrmMassCopy::closeEvent(QCloseEvent* event) {
  // Closing during a copy stops it after the current file's partial copy is removed.
  pnlProgress->RequestStop();
  event->accept();
}
