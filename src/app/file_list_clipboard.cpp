// Files to and from the desktop clipboard and by drag and drop, as other file managers exchange
// them; pasting never replaces a file.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>

#include "app/app.h"
#include "app/clipboard_rules.h"
#include "app/file_op_rules.h"
#include "app/main_window.h"
#include "app/paste_job.h"
#include "app/undo_command.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/tree_copy.h"
#include "platform/tree_walk.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

namespace {

constexpr const char* kGnomeCopiedFiles = "x-special/gnome-copied-files";
constexpr const char* kKdeCutSelection = "application/x-kde-cutselection";

}  // namespace

QMimeData* TForm1::FilesMimeData(const std::vector<int>& rows, bool cut) const {
  std::vector<std::string> paths;
  for (int row : rows) {
    const std::string& entry = fListModel->Entry(row);
    if (entry == "../") continue;
    std::string path = app::EntryPath(app_.CurrentDir, entry);
    if (path.size() > 1 && path.back() == platform::kPathDelim) path.pop_back();
    paths.push_back(std::move(path));
  }
  if (paths.empty()) return nullptr;
  auto* data = new QMimeData;
  data->setData("text/uri-list", QByteArray::fromStdString(app::EncodeUriList(paths)));
  data->setData(kGnomeCopiedFiles,
                QByteArray::fromStdString(app::EncodeGnomeCopiedFiles({cut, paths})));
  if (cut) data->setData(kKdeCutSelection, "1");
  QString text;
  for (const std::string& path : paths) text += BytesToText(path) + "\n";
  data->setText(text);
  return data;
}

bool TForm1::DropFiles(const QMimeData* data, bool move) {
  if (data == nullptr || app_.CurrentDir.empty()) return false;
  std::vector<std::string> paths;
  if (data->hasFormat(kGnomeCopiedFiles)) {
    const app::CopiedFiles files =
        app::DecodeGnomeCopiedFiles(data->data(kGnomeCopiedFiles).toStdString());
    paths = files.paths;
    move = move || files.cut;
  } else {
    paths = app::DecodeUriList(data->data("text/uri-list").toStdString());
    move = move || data->data(kKdeCutSelection) == "1";
  }
  if (paths.empty()) return false;
  PasteFiles(paths, move);
  return true;
}

void TForm1::CopyToClipboard(bool cut) {
  std::vector<int> rows = SelectedRows();
  if (rows.empty() && CurrentRow() >= 0) rows.push_back(CurrentRow());
  if (QMimeData* data = FilesMimeData(rows, cut)) QApplication::clipboard()->setMimeData(data);
}

void TForm1::PasteFromClipboard() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  const bool cut = data != nullptr && (data->data(kKdeCutSelection) == "1" ||
                                       data->data(kGnomeCopiedFiles).startsWith("cut"));
  // Files cut are moved once; the clipboard then no longer offers them.
  if (DropFiles(data, false) && cut) QApplication::clipboard()->clear();
}

PasteJob& TForm1::paste_job() {
  if (!paste_job_) paste_job_ = std::make_shared<PasteJob>(app_, this);
  return *paste_job_;
}

void TForm1::PasteFiles(const std::vector<std::string>& paths, bool move) {
  const std::string dir = app_.CurrentDir;
  // A paste asked for while another runs (its progress lets the keys through) waits for none.
  if (paste_job().running()) {
    app_.dialogs().Beep(false);
    return;
  }
  const app::PasteFacts facts{
      [](const std::string& path) { return platform::EntryExists(path); },
      [](const std::string& path) { return platform::DirectoryExists(path); },
      [](const std::string& in, const std::string& source) {
        return platform::IsWithinTree(in, source);
      },
      [&](const std::string& name, const std::string& both_name) {
        const bool folder = platform::DirectoryExists(dir + name);
        const QString text = "\"" + BytesToText(name) + "\" already exists in " + BytesToText(dir) +
                             ".\nYes: keep both (the new one as \"" + BytesToText(both_name) +
                             "\")\nNo: skip this " + (folder ? "folder" : "file") +
                             "\nCancel: paste nothing";
        switch (app_.dialogs().MessageBox(text, app_.Str(2), MsgIcon::kQuestion,
                                          MsgButtons::kYesNoCancel)) {
          case MsgAnswer::kYes:
            return app::ClashAnswer::kKeepBoth;
          case MsgAnswer::kCancel:
            return app::ClashAnswer::kCancel;
          default:
            return app::ClashAnswer::kSkip;
        }
      }};
  const app::PastePlan plan = app::PlanPaste(paths, dir, move, facts);
  if (plan.cancelled) return;
  std::vector<tools::TransferRecord::Pair> pairs;
  for (const app::PasteStep& step : plan.steps) pairs.push_back({step.source, step.target});
  // The record is finished when it goes out of scope, naming only what the job made.
  const auto record =
      RecordTransfer(app_, move ? tools::UndoKind::kMove : tools::UndoKind::kCopy, pairs);
  paste_job().Run(plan, move);
  SearchLine->setText(BytesToText(dir));
  ScanDirectory1Click();
}
