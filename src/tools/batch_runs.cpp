// The batch window's runs: numbering, replacing and taking the last run back, and the preview
// that shows what a run would do.

#include <QScrollBar>
#include <map>
#include <optional>
#include <stdexcept>

#include "app/app.h"
#include "app/main_window.h"
#include "console/console_window.h"
#include "console/variable_rules.h"
#include "platform/append_file.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "tools/batch_rules.h"
#include "tools/batch_window.h"
#include "ui/byte_text.h"
#include "ui/pump_events.h"

namespace {

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string EntryAt(const QListWidget* list, int row) {
  return TextToBytes(list->item(row)->text());
}

// The name after the last delimiter of a path.
std::string BaseName(const std::string& path) {
  const std::size_t delim = path.rfind(platform::kPathDelim);
  return delim == std::string::npos ? path : path.substr(delim + 1);
}

// Marks the window as running for the length of a run, whatever way the run ends.
class BatchRunScope {
 public:
  BatchRunScope(TfrmBatch& window, bool& running, bool& stop) : window_(window), running_(running) {
    running_ = true;
    stop = false;
    Enable(false);
  }
  ~BatchRunScope() {
    running_ = false;
    Enable(true);
  }

 private:
  void Enable(bool idle) {
    for (QWidget* w : {window_.butbtngo, window_.btnDo, window_.btnUndo}) w->setEnabled(idle);
    window_.btnStop->setEnabled(!idle);
  }
  TfrmBatch& window_;
  bool& running_;
};

}  // namespace

std::string TfrmBatch::JournalPath() const {
  return app_.SettingsDir() + tools::kJournalFileName;
}

bool TfrmBatch::RefuseWhileRunning() {
  if (!running_) return false;
  app_.PrintLine("> Warning: a renaming run is in progress");
  return true;
}

void TfrmBatch::RenameEntry(int row, const std::string& dir, const tools::BatchEntry& old_entry,
                            const std::string& new_name, const std::string& done_line,
                            const std::string& taken_line) {
  if (!tools::IsValidName(new_name)) {
    app_.PrintLine("> Error: " + Quoted(new_name) + " is not a valid name for " +
                   Quoted(old_entry.name));
    return;
  }
  const std::string old_path = tools::JoinDir(dir, old_entry.name);
  const std::string new_path = tools::JoinDir(dir, new_name);
  // The pair goes into the journal before the rename, so that a crash cannot lose it.
  if (!journal_->Record(old_path, new_path) && !journal_warned_) {
    journal_warned_ = true;
    app_.PrintLine("> Warning: the rename journal " + Quoted(JournalPath()) +
                   " can not be written; this run can not be undone");
  }
  if (!platform::MoveFileNoReplace(old_path, new_path)) {
    journal_->Failed();
    if (!taken_line.empty() && platform::GetEntryId(new_path)) {
      app_.PrintLine(taken_line);
      return;
    }
    app_.PrintLine("> Error: can not rename " + Quoted(old_entry.name) + " to " + Quoted(new_name));
    return;
  }
  app_.PrintLine(done_line);
  // A dialog opened while the name was built may have let the list be emptied meanwhile.
  if (QListWidgetItem* item = filelest->item(row)) {
    item->setText(BytesToText(tools::EntryText({new_name, old_entry.is_dir})));
  }
}

void TfrmBatch::StartJournal() {
  journal_ = std::make_unique<tools::RenameJournal>(JournalPath());
  journal_warned_ = false;
}

void TfrmBatch::FinishRun() {
  journal_.reset();
  dir_names_.Forget();
  if (stop_) app_.PrintLine("> Warning: the run was stopped");
  UpdateUndoButton();
  SchedulePreview();
}

void TfrmBatch::butbtngoClick() {
  if (RefuseWhileRunning()) return;
  if (filelest->count() == 0) {
    app_.PrintLine("> Error: " + TextToBytes(app_.Str(46)));
    app_.dialogs().MessageBox(app_.Str(46), app_.Str(1), MsgIcon::kError, MsgButtons::kOk);
    return;
  }
  app_.Show(app_.frmConsole);
  app_.PrintLine("Starting renaming...");
  const int count = filelest->count();
  ProgressBar1->setMaximum(count);
  ProgressBar1->setValue(0);
  // The variables are gathered once for the run, the variables file read once rather than once
  // for every file; the date, the time and the questions are still asked for every file.
  console::VariableSource vars = app_.Variables();
  const std::optional<std::string> external = vars.read_external();
  vars.read_external = [&external] { return external; };
  {
    BatchRunScope scope(*this, running_, stop_);
    StartJournal();
    try {
      // The list may shrink while events are processed; every entry is read when reached.
      for (int i = 0; i < count; ++i) {
        PumpEvents();
        if (stop_ || i >= filelest->count()) break;
        // The pattern is read again for every file: the user may edit it. Each entry is renamed
        // in the directory it was taken from, never in whatever directory is listed now.
        const std::string pattern = TextToBytes(masktoren->text());
        const std::string dir = EntryDir(i, TextToBytes(app_.Form1->SearchLine->text()));
        const std::string entry = EntryAt(filelest, i);
        if (tools::IsParentEntry(entry)) {
          app_.PrintLine("> Error: " + Quoted(entry) + " is not renamed");
        } else {
          const tools::BatchEntry old_entry = tools::SplitEntry(entry);
          const std::string new_name =
              tools::BuildNewName(pattern, old_entry.name, static_cast<std::size_t>(i), vars);
          // The move refuses a name that is taken, which is the existence check.
          RenameEntry(i, dir, old_entry, new_name,
                      "Renaming: " + Quoted(old_entry.name) + " -> \"" + new_name,
                      "> Error: file allredy exist!");
        }
        ProgressBar1->setValue(i + 1);
      }
    } catch (const std::exception& e) {
      app_.dialogs().Beep(false);
      app_.PrintLine(std::string("> Error: ") + e.what());
    }
  }
  FinishRun();
  app_.Form1->ScanDirectory1Click();
  app_.dialogs().MessageBox(app_.Str(47), kAppTitle, MsgIcon::kNone, MsgButtons::kOk);
}

void TfrmBatch::btnDoClick() {
  if (RefuseWhileRunning() || filelest->count() == 0) return;
  app_.Show(app_.frmConsole);
  const std::string what = TextToBytes(txtReplasewhat->text());
  const std::string with = TextToBytes(txtReplacewith->text());
  const int count = filelest->count();
  {
    BatchRunScope scope(*this, running_, stop_);
    StartJournal();
    for (int i = 0; i < count; ++i) {
      PumpEvents();
      if (stop_ || i >= filelest->count()) break;
      const std::string entry = EntryAt(filelest, i);
      if (tools::IsParentEntry(entry)) {
        app_.PrintLine("> Error: " + Quoted(entry) + " is not renamed");
        continue;
      }
      const tools::BatchEntry old_entry = tools::SplitEntry(entry);
      const std::string new_name = tools::ReplaceInName(old_entry.name, what, with);
      const std::string line = "Renaming " + Quoted(old_entry.name) + " - > " + Quoted(new_name);
      if (new_name == old_entry.name) {
        app_.PrintLine(line);  // nothing to rename
      } else {
        RenameEntry(i, EntryDir(i, app_.CurrentDir), old_entry, new_name, line, {});
      }
    }
  }
  FinishRun();
  app_.PrintLine("> Done!");
  app_.PrintLine("> OK");
}

void TfrmBatch::btnUndoClick() {
  if (RefuseWhileRunning()) return;
  const std::string journal = JournalPath();
  const std::optional<tools::JournalRun> run = tools::RenameJournal::LoadLastRun(journal);
  if (!run || run->undone || run->pairs.empty()) {
    app_.PrintLine("> Warning: there is no renaming run to undo");
    UpdateUndoButton();
    return;
  }
  app_.Show(app_.frmConsole);
  app_.PrintLine("Undoing the last renaming run...");
  std::vector<tools::JournalPair> left;  // pairs not renamed back, in run order
  {
    BatchRunScope scope(*this, running_, stop_);
    for (auto it = run->pairs.rbegin(); it != run->pairs.rend(); ++it) {
      PumpEvents();
      if (stop_) {
        left.insert(left.begin(), run->pairs.begin(), it.base());
        break;
      }
      // Only the file the run renamed is moved back; anything else under that name stays.
      const auto id = platform::GetEntryId(it->new_path);
      if (!id || id->device != it->device || id->inode != it->inode) {
        app_.PrintLine("> Warning: " + Quoted(it->new_path) +
                       " has changed since the run; not renamed back");
        left.insert(left.begin(), *it);
        continue;
      }
      if (!platform::MoveFileNoReplace(it->new_path, it->old_path)) {
        app_.PrintLine("> Error: can not rename " + Quoted(it->new_path) + " back to " +
                       Quoted(it->old_path));
        left.insert(left.begin(), *it);
        continue;
      }
      app_.PrintLine("Renaming back: " + Quoted(it->new_path) + " -> " + Quoted(it->old_path));
      RestoreListEntry(it->new_path, BaseName(it->old_path));
    }
  }
  // What could not be renamed back stays in the journal for another try; the rest is done.
  bool journal_written = true;
  if (left.empty()) {
    journal_written = tools::RenameJournal::MarkUndone(journal);
  } else {
    std::string text = tools::JournalRunLine();
    for (const tools::JournalPair& pair : left) text += tools::JournalPairLine(pair);
    try {
      platform::WriteFileAtomic(journal, text);
    } catch (const std::runtime_error&) {
      journal_written = false;
    }
  }
  // The renames back are done all the same; only the journal still tells the whole run.
  if (!journal_written) {
    app_.PrintLine("> Warning: the rename journal " + Quoted(journal) + " can not be written");
  }
  app_.PrintLine("> Renamed back: " + std::to_string(run->pairs.size() - left.size()) + " of " +
                 std::to_string(run->pairs.size()));
  FinishRun();
  app_.Form1->ScanDirectory1Click();
}

void TfrmBatch::btnStopClick() {
  if (running_) stop_ = true;
}

void TfrmBatch::RestoreListEntry(const std::string& new_path, const std::string& old_name) {
  const std::string listed = TextToBytes(app_.Form1->SearchLine->text());
  for (int row = 0; row < filelest->count(); ++row) {
    const tools::BatchEntry entry = tools::SplitEntry(EntryAt(filelest, row));
    if (tools::JoinDir(EntryDir(row, listed), entry.name) == new_path) {
      filelest->item(row)->setText(BytesToText(tools::EntryText({old_name, entry.is_dir})));
      return;
    }
  }
}

void TfrmBatch::UpdateUndoButton() {
  if (app_.batch()) return;  // no window to show it in
  const auto run = tools::RenameJournal::LoadLastRun(JournalPath());
  btnUndo->setEnabled(!running_ && run && !run->undone && !run->pairs.empty());
}

void TfrmBatch::UpdatePreview() {
  if (running_) return;
  const bool replace = Pages->currentWidget() == tbsstrRep;
  const std::string listed =
      replace ? app_.CurrentDir : TextToBytes(app_.Form1->SearchLine->text());
  const std::string pattern = TextToBytes(masktoren->text());
  const std::string what = TextToBytes(txtReplasewhat->text());
  const std::string with = TextToBytes(txtReplacewith->text());

  // The preview never asks: variables that would ask stay as they are written, and the values
  // that cost something to get are fetched once for all names.
  console::VariableSource vars = app_.Variables();
  vars.ask_input = [] { return std::string("$INPUT"); };
  vars.ask_open_file = [] { return std::string("$OPENDL"); };
  vars.ask_save_file = [] { return std::string("$SAVEDL"); };
  vars.print = nullptr;
  const std::optional<std::string> external = vars.read_external();
  vars.read_external = [&external] { return external; };
  for (auto* value : {&vars.date, &vars.time, &vars.system_dir}) {
    if (!*value) continue;
    *value = [get = *value, cached = std::optional<std::string>()]() mutable {
      if (!cached) cached = get();
      return *cached;
    };
  }

  const int count = filelest->count();
  std::vector<std::string> old_names, new_names, shown;
  old_names.reserve(count);
  new_names.reserve(count);
  shown.reserve(count);
  // Entries are renamed in their own directories: conflicts are found directory by directory.
  std::map<std::string, std::vector<int>> rows_by_dir;
  for (int i = 0; i < count; ++i) {
    rows_by_dir[EntryDir(i, listed)].push_back(i);
    const tools::BatchEntry entry = tools::SplitEntry(EntryAt(filelest, i));
    std::string name;
    if (entry.name == "..") {
      name = entry.name;
    } else if (replace) {
      name = tools::ReplaceInName(entry.name, what, with);
    } else {
      name = tools::BuildNewName(pattern, entry.name, static_cast<std::size_t>(i), vars);
    }
    shown.push_back(tools::EntryText({name, entry.is_dir}));
    old_names.push_back(entry.name);
    new_names.push_back(std::move(name));
  }
  std::vector<tools::NameProblem> problems(old_names.size(), tools::NameProblem::kNone);
  for (const auto& [dir, rows] : rows_by_dir) {
    std::vector<std::string> old_here, new_here;
    for (int row : rows) {
      old_here.push_back(old_names[row]);
      new_here.push_back(new_names[row]);
    }
    const std::vector<tools::NameProblem> found =
        tools::FindConflicts(old_here, new_here, dir_names_.Of(dir));
    for (std::size_t k = 0; k < rows.size(); ++k) problems[rows[k]] = found[k];
  }
  PreviewModel->Set(std::move(shown), std::move(problems));
  lblPreview->setText(
      QString("%1 files, %2 conflicts").arg(count).arg(PreviewModel->ProblemCount()));
  lstPreview->verticalScrollBar()->setValue(filelest->verticalScrollBar()->value());
}
