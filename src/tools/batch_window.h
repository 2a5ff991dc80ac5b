#pragma once

// The batch window: renames a group of files by a numbering pattern or by replacing text in
// their names, shows the new names before the run, takes the last run back, and holds a small
// editor for console scripts.

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/batch_preview.h"
#include "tools/rename_journal.h"

class App;

class TfrmBatch : public QWidget {
 public:
  explicit TfrmBatch(App& app);
  ~TfrmBatch() override;

  // Sets the captions, the legend with the external variables, the replace status text and the
  // default script. Safe to run again.
  void FormCreate();
  // The numbering run over filelest with the pattern in masktoren.
  void butbtngoClick();
  // The replace run over filelest with txtReplasewhat and txtReplacewith.
  void btnDoClick();
  void txtReplasewhatChange();
  void txtReplacewithChange();
  void btnVarsClick();
  void btnConstsClick();
  // Renames back the files of the last run of the journal not yet undone.
  void btnUndoClick();
  // Renames back the files of the journal's run of id `run` ("" for the last run of a journal of
  // an earlier version), or with nothing of the last run not yet undone; the console tells each
  // file. Returns why the run, or some of its files, was left undone; "" when all of it was taken
  // back.
  std::string UndoRun(const std::optional<std::string>& run);
  // Asks a running numbering, replace or undo run to stop after the current file.
  void btnStopClick();

  // The script page: run the editor's lines, open a script, save the editor.
  void btnRunClick();
  void ToolButton2Click();
  void ToolButton1Click();

  // Adds entries of the main list, each bound to the directory it was listed from: a run renames
  // an entry there and nowhere else, whatever directory the main window shows by then.
  void AddEntries(const std::vector<std::string>& entries, const std::string& listed_dir);
  // The same in place of the entries listed so far.
  void SetEntries(const std::vector<std::string>& entries, const std::string& listed_dir);
  // Adds the entries and runs the numbering with `scheme` as the pattern (bt_start).
  void Number(const std::vector<std::string>& entries, const std::string& listed_dir,
              const std::string& scheme);
  // Turns to one of the pages; false when there is no such page.
  bool ShowPage(long long page);
  // The directory the entry of `row` was taken from; for an entry put into the list without one,
  // `fallback`.
  std::string EntryDir(int row, const std::string& fallback) const;

  // Computes the preview for the list as it stands now.
  void UpdatePreview();
  // The journal's full path.
  std::string JournalPath() const;
  bool running() const { return running_; }

  // The file names the window works on, without directory; directories end in the delimiter.
  QListWidget* filelest;
  // The new names beside filelest, with the ones that cannot be used marked.
  QListView* lstPreview;
  BatchPreviewModel* PreviewModel;
  QLabel* lblPreview;
  QPushButton* btnUndo;
  // Three pages: numbering (0), script editor (1), replace (2).
  QTabWidget* Pages;

  QWidget* sheettonombs;
  QLabel* maskto;
  QLineEdit* masktoren;
  QPushButton* butbtngo;
  QPushButton* btnVars;
  QPushButton* btnConsts;
  QPlainTextEdit* legend1;
  QProgressBar* ProgressBar1;
  QPushButton* btnStop;

  QWidget* tbScript;
  QToolButton* btnRun;
  QToolButton* ToolButton2;
  QToolButton* ToolButton1;
  QPlainTextEdit* memscript;

  QWidget* tbsstrRep;
  QLineEdit* txtReplasewhat;
  QLabel* lbl1;
  QLineEdit* txtReplacewith;
  QPushButton* btnDo;
  QStatusBar* StatusBar1;
  QLabel* StatusPanel0;  // panel 0 of StatusBar1

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildListSide();
  QWidget* BuildNumberingPage();
  QWidget* BuildScriptPage();
  QWidget* BuildReplacePage();
  void SetReplaceStatus();
  // Puts the variables file's lines below the legend's fixed lines.
  void FillLegend();
  void SchedulePreview();
  void UpdateUndoButton();

  // One rename of a run: refuses an invalid name, or keeps the rename for CarryOutRenames.
  void RenameEntry(int row, const std::string& dir, const tools::BatchEntry& old_entry,
                   const std::string& new_name, const std::string& done_line,
                   const std::string& taken_line);
  // Records every kept rename in the journal at once, then renames without ever replacing a
  // file and reports each result: `done_line` when renamed (and the new name goes into the
  // list), `taken_line` when the name is taken (if given), an error otherwise.
  void CarryOutRenames();
  // A console line that CarryOutRenames prints in its place among the results.
  void QueueLine(const std::string& line);
  // Prints a warning and returns true while a run is going on: runs do not nest.
  bool RefuseWhileRunning();
  // A fresh journal for a run that renames; the run is added to the journal file at its first
  // record.
  void StartJournal();
  // After a run: the journal closed, the undo button and the preview brought up to date.
  void FinishRun();
  // Writes `old_name` back into the list entry that stands for the file at `new_path`.
  void RestoreListEntry(const std::string& new_path, const std::string& old_name);

  // Where a list entry keeps the directory it was taken from.
  static constexpr int kDirRole = Qt::UserRole;

  App& app_;
  QTimer* preview_timer_;
  DirectoryNames dir_names_;
  bool running_ = false;
  bool legend_filled_ = false;
  bool stop_ = false;
  std::unique_ptr<tools::RenameJournal> journal_;  // the running run's journal
  struct PendingRename {
    int row;
    tools::BatchEntry old_entry;
    std::string new_name, dir, old_path, new_path, done_line, taken_line;
  };
  std::vector<PendingRename> pending_;  // the run's renames, built before any is done
};
