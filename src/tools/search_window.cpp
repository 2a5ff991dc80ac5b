#include "tools/search_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStatusBar>
#include <optional>

#include "app/app.h"
#include "app/main_window_api.h"
#include "platform/launch.h"
#include "tools/search_rules.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"
#include "ui/loading.h"
#include "ui/window_flags.h"

int FoundListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant FoundListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return BytesToText(Path(index.row()));
  return {};
}

void FoundListModel::Show(const std::vector<std::string>* paths) {
  beginResetModel();
  paths_ = paths;
  shown_ = paths == nullptr ? 0 : static_cast<int>(paths->size());
  endResetModel();
}

void FoundListModel::Grow() {
  const int size = paths_ == nullptr ? 0 : static_cast<int>(paths_->size());
  if (size <= shown_) return;
  beginInsertRows(QModelIndex(), shown_, size - 1);
  shown_ = size;
  endInsertRows();
}

TfrmSearch::TfrmSearch(App& app) : QWidget(nullptr, kDialogWindowFlags), app_(app) {
  setObjectName("frmSearch");
  txtSearch = new QLineEdit("*.*", this);
  txtSearch->setObjectName("txtSearch");
  txtPathSea = new QLineEdit(this);
  txtPathSea->setObjectName("txtPathSea");
  rearchresults = new QListView(this);
  rearchresults->setObjectName("rearchresults");
  rearchresults->setUniformItemSizes(true);
  rearchresults->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rearchresultsModel = new FoundListModel(rearchresults);
  rearchresults->setModel(rearchresultsModel);
  btnStart = new QPushButton(this);
  btnStart->setObjectName("btnStart");
  btnStart->setDefault(true);
  btnStop = new QPushButton("Stop", this);
  btnStop->setObjectName("btnStop");
  btnStop->setToolTip("Esc");
  btnStop->setEnabled(false);
  btnQuit = new QPushButton(this);
  btnQuit->setObjectName("btnQuit");
  info = new QStatusBar(this);
  info->setObjectName("info");
  info->setSizeGripEnabled(false);
  infoPanel = new QLabel("Ready", info);
  infoPanel->setMinimumWidth(50);
  info->addWidget(infoPanel, 1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(txtSearch, 0, 0);
  layout->addWidget(txtPathSea, 0, 1, 1, 2);
  layout->addWidget(btnStart, 0, 3);
  layout->addWidget(rearchresults, 1, 0, 1, 4);
  layout->addWidget(btnStop, 2, 2);
  layout->addWidget(btnQuit, 2, 3);
  layout->addWidget(info, 3, 0, 1, 4);
  layout->setColumnStretch(1, 1);
  resize(471, 439);

  const auto guard = ui::GuardedSlots(app_, this);
  connect(btnStart, &QPushButton::clicked, this, guard(&TfrmSearch::btnStartClick));
  connect(btnStop, &QPushButton::clicked, this, guard(&TfrmSearch::btnStopClick));
  connect(btnQuit, &QPushButton::clicked, this, guard(&TfrmSearch::btnQuitClick));
  connect(rearchresults, &QListView::doubleClicked, this,
          guard(&TfrmSearch::rearchresultsDblClick));
}

void TfrmSearch::FormCreate() {
  setWindowTitle(app_.Str(83));
  btnStart->setText(app_.Str(87));
  btnQuit->setText(app_.Str(42));
}

void TfrmSearch::SetDirectory(const std::string& dir) {
  txtPathSea->setText(BytesToText(dir));
}

void TfrmSearch::RefreshResults(const std::vector<std::string>& results) {
  if (rearchresultsModel->Shows(&results)) rearchresultsModel->Show(&results);
}

void TfrmSearch::FormShow() {
  txtPathSea->setText(BytesToText(app_.CurrentDir));
  infoPanel->setText("Ready");
  rearchresultsModel->Show(nullptr);
}

void TfrmSearch::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous() && !searching_) app_.Guarded([&] { FormShow(); });
}

void TfrmSearch::closeEvent(QCloseEvent* event) {
  // Closing stops a running search; what it found so far is kept.
  stop_ = true;
  event->accept();
}

void TfrmSearch::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && searching_) {
    stop_ = true;
    return event->accept();
  }
  QWidget::keyPressEvent(event);
}

void TfrmSearch::SetSearching(bool on) {
  searching_ = on;
  btnStart->setEnabled(!on);
  btnQuit->setEnabled(!on);
  btnStop->setEnabled(on);
}

std::optional<std::vector<std::string>> TfrmSearch::SearchFiles(const std::string& start,
                                                                const std::string& mask) {
  std::vector<std::string> found;
  stop_ = false;
  SetSearching(true);
  // However the search ends, the list no longer shows the local results.
  struct Finish {
    TfrmSearch* window;
    ~Finish() {
      window->SetSearching(false);
      window->rearchresultsModel->Show(nullptr);
    }
  } finish{this};

  // Events are let through at the first entry, then at most every pump_interval_ms: never once
  // per entry, which would cost more than the search itself.
  QElapsedTimer since_pump;
  bool shown = false;
  int laid_out = 0;
  const auto keep_going = [&](std::string_view dir) {
    if (since_pump.isValid() && since_pump.elapsed() < pump_interval_ms) return !stop_;
    if (!shown) {
      rearchresultsModel->Show(&found);
      shown = true;
    }
    rearchresultsModel->Grow();
    // The view lays out new rows on a timer of its own, which would not fire before the search
    // ends; laying them out here lets them show while the search goes on. Each layout takes
    // every row, so after the first screenful it waits until the list has doubled.
    const int rows = rearchresultsModel->rowCount();
    if (rearchresults->isVisible() && rows > laid_out && (rows < 256 || rows >= 2 * laid_out)) {
      rearchresults->doItemsLayout();
      laid_out = rows;
    }
    if (!dir.empty()) infoPanel->setText(BytesToText(dir));  // empty while the walk waits
    QCoreApplication::processEvents();
    since_pump.start();
    // The program may have been ended meanwhile: its event loop quits only after the search.
    if (app_.Main().closed()) stop_ = true;
    return !stop_;
  };
  const tools::SearchOutcome outcome = tools::SearchFiles(start, mask, found, keep_going);
  if (!outcome.error.empty()) {
    infoPanel->setText("Cannot search: " + BytesToText(outcome.error));
    app_.PrintLine("> Error: Cannot search: " + outcome.error);
    return std::nullopt;
  }
  ShowOutcome(found.size(), outcome.skipped, outcome.stopped);
  return found;
}

void TfrmSearch::ShowOutcome(std::size_t found, std::size_t skipped, bool stopped) {
  QString text = "Found " + QString::number(found) + " files";
  if (skipped > 0) {
    text += ", " + QString::number(skipped) + " unreadable directories skipped";
    app_.PrintLine("> Warning: " + std::to_string(skipped) + " directories could not be searched");
  }
  if (stopped) text += " (stopped)";
  infoPanel->setText(text);
  // Stopping says why there is nothing; the warning is for a search that ran to its end.
  if (found == 0 && !stopped) {
    app_.dialogs().MessageBox(app_.Str(8), app_.Str(2), MsgIcon::kWarning, MsgButtons::kOk);
  }
}

void TfrmSearch::btnStartClick() {
  if (searching_) return;
  LoadingIndicator loading(app_);
  auto found = SearchFiles(TextToBytes(txtPathSea->text()), TextToBytes(txtSearch->text()));
  if (!found) return;
  app_.SearchResults = std::move(*found);
  rearchresultsModel->Show(&*app_.SearchResults);
}

void TfrmSearch::btnStopClick() {
  stop_ = true;
}

void TfrmSearch::btnQuitClick() {
  if (searching_) return;
  if (app_.SearchResults) {
    app_.Main().ShowDirectory("BW:SearchRes");
  }
  close();
}

void TfrmSearch::rearchresultsDblClick() {
  const QModelIndex index = rearchresults->currentIndex();
  if (!index.isValid() || !rearchresults->selectionModel()->isSelected(index)) return;
  const std::string path = rearchresultsModel->Path(index.row());
  // The console would end the command at a ")" and expand a "$": such a path is opened as
  // it stands instead.
  if (path.find_first_of(")$") != std::string::npos) {
    platform::OpenDocument(path);
    return;
  }
  app_.ExecuteCommandLine("go(" + path + ")");
}
