#pragma once

// The search window: finds files matching a mask in a directory and every directory below it.

#include <QAbstractListModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class App;

// Shows a list of found paths that the search may still be filling: rows appear when Grow()
// announces them, so the list can be shown while it is being built without copying it.
class FoundListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Shows `paths` (not owned; nothing for an empty list), the rows it holds so far.
  void Show(const std::vector<std::string>* paths);
  // Whether `paths` is the list shown.
  bool Shows(const std::vector<std::string>* paths) const { return paths_ == paths; }
  // Announces the rows added to the shown list since the last call.
  void Grow();
  // The bytes of row `row`.
  const std::string& Path(int row) const { return (*paths_)[static_cast<std::size_t>(row)]; }

 private:
  const std::vector<std::string>* paths_ = nullptr;
  int shown_ = 0;
};

class TfrmSearch : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmSearch(App& app);

  // Sets the captions from the language table.
  void FormCreate();
  // Empties the results, puts the main window's directory into txtPathSea and "Ready" into the
  // status panel.
  void FormShow();
  // Makes `dir` the directory to search in.
  void SetDirectory(const std::string& dir);
  // Shows the rows of `results` again if it is the list shown; found files that vanished or
  // were renamed since have been taken out of it or renamed in it.
  void RefreshResults(const std::vector<std::string>& results);

  // Searches `start` and everything below it for files whose names match `mask`, showing the
  // results as they come and the progress in the status panel, until done or stopped. Nothing
  // when the search could not start (a refused mask, no directory); the reason is reported.
  std::optional<std::vector<std::string>> SearchFiles(const std::string& start,
                                                      const std::string& mask);

  void btnStartClick();
  void btnStopClick();
  void btnQuitClick();
  void rearchresultsDblClick();

  // Whether a search is running.
  bool searching() const { return searching_; }

  QLineEdit* txtSearch;
  QLineEdit* txtPathSea;
  QListView* rearchresults;
  FoundListModel* rearchresultsModel;
  QPushButton* btnStart;
  QPushButton* btnStop;
  QPushButton* btnQuit;
  QStatusBar* info;
  QLabel* infoPanel;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetSearching(bool on);
  void ShowOutcome(std::size_t found, std::size_t skipped, bool stopped);

  App& app_;
  bool searching_ = false;
  bool stop_ = false;

 public:
  // How often a running search lets window events be processed, in milliseconds.
  int pump_interval_ms = 15;
};
