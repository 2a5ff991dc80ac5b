// The batch window's runs: numbering, replacing and taking the last run back, and the preview
// that shows what a run would do.

#include <QScrollBar>
#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

#include "app/app.h"
#include "app/main_window_api.h"
#include "app/undo_command.h"
#include "console/console_window.h"
#include "console/variable_rules.h"
#include "platform/append_file.h"
#include "platform/dir_rename.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "tools/batch_rules.h"
#include "tools/batch_window.h"
#include "ui/byte_text.h"
#include "ui/pump_events.h"

namespace {

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// The variables file read and split into lines once for a run or a preview, rather than once for
// every name: the file may hold 100,000 lines. A missing file is still reported for every name.
class ExternalVariables {
 public:
  explicit ExternalVariables(console::VariableSource& vars) : text_(vars.read_external()) {
    if (!text_) {
      vars.read_external = [] { return std::optional<std::string>(); };
      return;
    }
    lines_ = platform::SplitLineViews(*text_);
    vars.external_lines = &lines_;
  }
  ExternalVariables(const ExternalVariables&) = delete;
  ExternalVariables& operator=(const ExternalVariables&) = delete;

 private:
  std::optional<std::string> text_;
  std::vector<std::string_view> lines_;
};

std::string EntryAt(const QListWidget* list, int row) {
  return TextToBytes(list->item(row)->text());
}

// Marks the window as running for the length of a run, whatever way the run ends. The main
// list follows the run's renames once it is over, not while thousands of them are made.
class BatchRunScope {
 public:
  BatchRunScope(TfrmBatch& window, MainWindowApi& main, bool& running, bool& stop)
      : window_(window), main_(main), running_(running) {
    running_ = true;
    stop = false;
    Enable(false);
    main_.HoldListChanges(true);
  }
  ~BatchRunScope() {
    main_.HoldListChanges(false);
    running_ = false;
    Enable(true);
  }

 private:
  void Enable(bool idle) {
    for (QWidget* w : {window_.butbtngo, window_.btnDo, window_.btnUndo}) w->setEnabled(idle);
    window_.btnStop->setEnabled(!idle);
  }
  TfrmBatch& window_;
  MainWindowApi& main_;
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
    QueueLine("> Error: " + Quoted(new_name) + " is not a valid name for " +
              Quoted(old_entry.name));
    return;
  }
  pending_.push_back({row, old_entry, new_name, dir, platform::JoinPath(dir, old_entry.name),
                      platform::JoinPath(dir, new_name), done_line, taken_line});
}

void TfrmBatch::QueueLine(const std::string& line) {
  pending_.push_back({-1, {}, {}, {}, {}, {}, line, {}});
}

void TfrmBatch::CarryOutRenames() {
  // A run most often renames in one directory: the first entry's directory keeps its renamer
  // for the whole run, and the new names there are looked up while the run is recorded. An entry
  // of another directory gets a renamer of its own, one at a time.
  const auto first = std::find_if(pending_.begin(), pending_.end(),
                                  [](const PendingRename& r) { return r.row >= 0; });
  platform::DirRenamer main_renamer(first == pending_.end() ? std::string() : first->dir);
  std::optional<platform::DirRenamer> other_renamer;
  const auto renamer_for = [&](const std::string& dir) -> platform::DirRenamer& {
    if (dir == main_renamer.dir()) return main_renamer;
    if (!other_renamer || other_renamer->dir() != dir) other_renamer.emplace(dir);
    return *other_renamer;
  };
  std::vector<std::string> new_names;
  for (const PendingRename& r : pending_) {
    if (r.row >= 0 && r.dir == main_renamer.dir()) new_names.push_back(r.new_name);
  }
  main_renamer.LookUpAhead(std::move(new_names));
  std::vector<tools::JournalPair> pairs;
  std::vector<bool> identified;
  for (const PendingRename& r : pending_) {
    if (r.row < 0) continue;
    tools::JournalPair& pair = pairs.emplace_back();
    pair.old_path = r.old_path;
    pair.new_path = r.new_path;
    const auto id = renamer_for(r.dir).Identify(r.old_entry.name);
    if (id) pair.id = *id;
    identified.push_back(id.has_value());
  }
  // Every pair is on the disk before the first rename, so that a crash cannot lose one.
  const bool any = !pairs.empty();
  if (!journal_->Intend(std::move(pairs))) {
    app_.PrintLine("> Warning: the rename journal " + Quoted(JournalPath()) +
                   " can not be written; this run can not be undone");
  } else if (any) {
    UndoHistoryOf(app_).Record({tools::UndoKind::kBatch, {}, {}, {}, journal_->run_id()});
    if (journal_->runs_let_go() > 0) {
      app_.PrintLine("> Warning: the rename journal " + Quoted(JournalPath()) +
                     " keeps the newest runs only; " + std::to_string(journal_->runs_let_go()) +
                     " older runs can no longer be undone");
    }
  }
  std::size_t i = 0;  // the pair's place in the journal
  for (const PendingRename& r : pending_) {
    if (r.row < 0) {
      app_.PrintLine(r.done_line);
      continue;
    }
    if (i > 0) PumpEvents();
    if (stop_) break;
    if (!renamer_for(r.dir).Rename(r.old_entry.name, r.new_name, identified[i])) {
      journal_->Failed(i++);
      if (!r.taken_line.empty() && platform::GetEntryId(r.new_path)) {
        app_.PrintLine(r.taken_line);
        continue;
      }
      app_.PrintLine("> Error: can not rename " + Quoted(r.old_entry.name) + " to " +
                     Quoted(r.new_name));
      continue;
    }
    journal_->Done(i++);
    app_.PrintLine(r.done_line);
    // A dialog opened while the name was built may have let the list be emptied meanwhile.
    if (QListWidgetItem* item = filelest->item(r.row)) {
      item->setText(BytesToText(tools::EntryText({r.new_name, r.old_entry.is_dir})));
    }
  }
  journal_->Finish();
  pending_.clear();
}

void TfrmBatch::StartJournal() {
  journal_ = std::make_unique<tools::RenameJournal>(JournalPath());
  pending_.clear();
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
  const ExternalVariables external(vars);
  {
    BatchRunScope scope(*this, app_.Main(), running_, stop_);
    StartJournal();
    try {
      // The list may shrink while events are processed; every entry is read when reached.
      for (int i = 0; i < count; ++i) {
        PumpEvents();
        if (stop_ || i >= filelest->count()) break;
        // The pattern is read again for every file: the user may edit it. Each entry is renamed
        // in the directory it was taken from, never in whatever directory is listed now.
        const std::string pattern = TextToBytes(masktoren->text());
        const std::string dir = EntryDir(i, app_.Main().ListedPath());
        const std::string entry = EntryAt(filelest, i);
        if (tools::IsParentEntry(entry)) {
          QueueLine("> Error: " + Quoted(entry) + " is not renamed");
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
    CarryOutRenames();
  }
  FinishRun();
  app_.Main().ScanDirectory1Click();
  app_.dialogs().MessageBox(app_.Str(47), kAppTitle, MsgIcon::kNone, MsgButtons::kOk);
}

void TfrmBatch::btnDoClick() {
  if (RefuseWhileRunning() || filelest->count() == 0) return;
  app_.Show(app_.frmConsole);
  const std::string what = TextToBytes(txtReplasewhat->text());
  const std::string with = TextToBytes(txtReplacewith->text());
  const int count = filelest->count();
  {
    BatchRunScope scope(*this, app_.Main(), running_, stop_);
    StartJournal();
    for (int i = 0; i < count; ++i) {
      PumpEvents();
      if (stop_ || i >= filelest->count()) break;
      const std::string entry = EntryAt(filelest, i);
      if (tools::IsParentEntry(entry)) {
        QueueLine("> Error: " + Quoted(entry) + " is not renamed");
        continue;
      }
      const tools::BatchEntry old_entry = tools::SplitEntry(entry);
      const std::string new_name = tools::ReplaceInName(old_entry.name, what, with);
      const std::string line = "Renaming " + Quoted(old_entry.name) + " - > " + Quoted(new_name);
      if (new_name == old_entry.name) {
        QueueLine(line);  // nothing to rename
      } else {
        RenameEntry(i, EntryDir(i, app_.CurrentDir), old_entry, new_name, line, {});
      }
    }
    CarryOutRenames();
  }
  FinishRun();
  app_.PrintLine("> Done!");
  app_.PrintLine("> OK");
}

void TfrmBatch::btnUndoClick() {
  UndoRun(std::nullopt);
}

std::string TfrmBatch::UndoRun(const std::optional<std::string>& which) {
  if (RefuseWhileRunning()) return "a renaming run is in progress";
  const std::string journal_path = JournalPath();
  const std::optional<tools::Journal> journal = tools::RenameJournal::Load(journal_path);
  if (!journal) {
    app_.PrintLine("> Error: the rename journal " + Quoted(journal_path) + " can not be read");
    return "the rename journal can not be read";
  }
  const std::optional<std::size_t> index = tools::ChooseRun(*journal, which);
  if (!journal->damaged && (!index || journal->runs[*index].undone)) {
    UpdateUndoButton();
    if (!which) {
      app_.PrintLine("> Warning: there is no renaming run to undo");
      return "there is no renaming run to undo";
    }
    return index ? "the run has been undone already"
                 : "the rename journal " + Quoted(journal_path) + " no longer holds the run";
  }
  std::vector<tools::LeftPair> strays;
  if (!journal->damaged) strays = tools::StrayPairs(*journal);
  app_.Show(app_.frmConsole);
  if (journal->damaged || !strays.empty()) {
    app_.PrintLine("> Error: the rename journal " + Quoted(journal_path) +
                   " is not trusted; nothing is renamed back");
    for (const tools::LeftPair& left : strays) {
      app_.PrintLine("> Error: " + Quoted(left.pair.old_path) + " -> " +
                     Quoted(left.pair.new_path) + " " + left.why);
    }
    return "the rename journal is not trusted";
  }
  const tools::JournalRun& run = journal->runs[*index];
  const tools::UndoPlan plan = tools::PlanUndo(run, platform::GetFileIdentity);
  app_.PrintLine(which ? "Undoing a renaming run..." : "Undoing the last renaming run...");
  std::vector<tools::JournalPair> left;  // pairs not renamed back, most recent first
  for (const tools::LeftPair& pair : plan.left) {
    app_.PrintLine("> Warning: " + Quoted(pair.pair.new_path) + " " + pair.why +
                   "; not renamed back");
    left.push_back(pair.pair);
  }
  std::size_t renamed = 0;
  {
    BatchRunScope scope(*this, app_.Main(), running_, stop_);
    for (std::size_t i = 0; i < plan.rename_back.size(); ++i) {
      const tools::JournalPair& pair = plan.rename_back[i];
      PumpEvents();
      if (stop_) {
        left.insert(left.end(), plan.rename_back.begin() + static_cast<long>(i),
                    plan.rename_back.end());
        break;
      }
      // Never across file systems and never over a file: a plain rename in the directory.
      if (!platform::RenameWithinFileSystem(pair.new_path, pair.old_path)) {
        app_.PrintLine("> Error: can not rename " + Quoted(pair.new_path) + " back to " +
                       Quoted(pair.old_path));
        left.push_back(pair);
        continue;
      }
      ++renamed;
      app_.PrintLine("Renaming back: " + Quoted(pair.new_path) + " -> " + Quoted(pair.old_path));
      RestoreListEntry(pair.new_path, platform::BaseName(pair.old_path));
    }
  }
  // What could not be renamed back stays in the journal for another try; the rest is done.
  // The other runs stay as they are.
  const std::size_t total = renamed + left.size();
  const bool journal_written =
      left.empty() ? tools::RenameJournal::MarkUndone(journal_path, run.id)
                   : tools::RenameJournal::Keep(journal_path, run.id, {left.rbegin(), left.rend()});
  // The renames back are done all the same; only the journal still tells the whole run.
  if (!journal_written) {
    app_.PrintLine("> Warning: the rename journal " + Quoted(journal_path) + " can not be written");
  }
  app_.PrintLine("> Renamed back: " + std::to_string(renamed) + " of " + std::to_string(total));
  FinishRun();
  app_.Main().ScanDirectory1Click();
  if (left.empty()) return {};
  return std::to_string(left.size()) + " of " + std::to_string(total) +
         " files were not renamed back";
}

void TfrmBatch::btnStopClick() {
  if (running_) stop_ = true;
}

void TfrmBatch::RestoreListEntry(const std::string& new_path, const std::string& old_name) {
  const std::string listed = app_.Main().ListedPath();
  for (int row = 0; row < filelest->count(); ++row) {
    const tools::BatchEntry entry = tools::SplitEntry(EntryAt(filelest, row));
    if (platform::JoinPath(EntryDir(row, listed), entry.name) == new_path) {
      filelest->item(row)->setText(BytesToText(tools::EntryText({old_name, entry.is_dir})));
      return;
    }
  }
}

void TfrmBatch::UpdateUndoButton() {
  if (app_.batch()) return;  // no window to show it in
  const auto journal = tools::RenameJournal::Load(JournalPath());
  btnUndo->setEnabled(!running_ && journal &&
                      (journal->damaged || tools::ChooseRun(*journal, std::nullopt)));
}

void TfrmBatch::UpdatePreview() {
  if (running_) return;
  const bool replace = Pages->currentWidget() == tbsstrRep;
  const std::string listed = replace ? app_.CurrentDir : app_.Main().ListedPath();
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
  const ExternalVariables external(vars);
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
