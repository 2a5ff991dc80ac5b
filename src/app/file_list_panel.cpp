// The file list panel of the main window: the scan, the tree's notification, clicks on entries
// and the selection commands.

#include <QAction>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <chrono>
#include <future>

#include "app/app.h"
#include "app/list_watch.h"
#include "app/listing_rules.h"
#include "app/main_window.h"
#include "platform/file_ops.h"
#include "platform/launch.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/tree_walk.h"
#include "ui/byte_text.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"
#include "ui/loading.h"
#include "ui/pump_events.h"

namespace {

// Sorts on a thread of its own while the window keeps painting: a million names take longer to
// sort than a window may stand still. Keys and clicks wait, as they do while the list is read.
void SortBesideEventLoop(const std::function<void()>& sort) {
  // Waited for a few milliseconds at a time, so that the list goes on as soon as the sort is
  // over; an exception from the sort comes back here.
  std::future<void> done = std::async(std::launch::async, sort);
  while (done.wait_for(std::chrono::milliseconds(2)) != std::future_status::ready) {
    PumpEvents(false);
  }
  done.get();
}

// Small lists sort at once; a thread costs more than the sort.
constexpr std::size_t kSortAtOnce = 20'000;

}  // namespace

app::EntryOrder TForm1::ListOrder() const {
  return app::EntryOrder(list_order_);
}

std::size_t TForm1::FillFileList(const std::string& path) {
  // Watched before it is read, so that nothing changed meanwhile goes unseen.
  list_watch_->StartListing(path);
  std::vector<std::string> entries;
  // A directory of a million entries takes seconds to read: the window keeps painting meanwhile,
  // while keys and clicks wait until the list is complete.
  std::size_t read = 0;
  const std::size_t found = app::FillFileList(
      path, app_.FileMask, entries,
      [&read] {
        if (++read % 256 == 0) PumpEvents(false);
      },
      ListOrder(),
      [&read](const std::function<void()>& sort) {
        if (read < kSortAtOnce) return sort();
        SortBesideEventLoop(sort);
      });
  fListModel->Append(std::move(entries));
  // An entry added later takes its place by names (sizes and times would need a lookup).
  fListModel->SetOrder([order = ListOrder()](const std::string& a, const std::string& b) {
    return order.LessEntries(a, {}, b, {});
  });
  fListModel->SetWorkRunner([this](const std::function<void()>& work) {
    if (fListModel->rowCount() < static_cast<int>(kSortAtOnce)) return work();
    SortBesideEventLoop(work);
  });
  list_watch_->ListingDone();
  return found;
}

bool TForm1::ListIsCurrent(const std::string& path) const {
  // Without a watch the list may miss what others changed: it is read again.
  return list_is_current_ && path == app_.CurrentDir && list_watch_->Follows(path);
}

void TForm1::ScanAfterOwnChange() {
  list_is_current_ = true;
  ScanDirectory1Click();
  list_is_current_ = false;
}

void TForm1::ShowListing(std::size_t count) {
  // The count always stands apart from its caption ("Entries: 26"), whichever way the
  // directory was listed.
  status_panels_[0]->setText(app_.Str(53) + " " + QString::number(count));
  if (count == 0) return;
  status_panels_[1]->setText(SearchLine->text());
}

void TForm1::ScanDirectory1Click() {
  const std::string line = TextToBytes(SearchLine->text());
  if (app::IsSearchResultsPath(line)) {
    if (app_.SearchResults) {
      // Found files deleted, renamed or moved since the search are no longer shown.
      std::vector<std::string> found;
      found.reserve(app_.SearchResults->size());
      for (const std::string& path : *app_.SearchResults) {
        if (platform::EntryExists(path)) found.push_back(path);
      }
      fListModel->SetEntries(std::move(found));
      list_watch_->FollowResults(*app_.SearchResults);
      app_.CurrentDir.clear();
    } else {
      app_.dialogs().MessageBox(app_.Str(92), app_.Str(1), MsgIcon::kError, MsgButtons::kOk);
      app_.PrintLine("> No search results");
    }
    app_.PrintLine("> Asked for last search result");
    return;
  }
  LoadingIndicator loading(app_);
  if (ListIsCurrent(line) && platform::DirectoryExists(line)) {
    ShowListing(fListModel->Entries().size());
  } else if (platform::DirectoryExists(line)) {
    fListModel->Clear();
    ShowListing(FillFileList(line));
  } else {
    app_.dialogs().MessageBox(app_.Str(9), app_.Str(1), MsgIcon::kError, MsgButtons::kOk);
    status_panels_[1]->setText(app_.Str(10));
  }
  DirList->SetDirectory(line);
  app_.CurrentDir = TextToBytes(SearchLine->text());
  RememberLastDir();
  loading.Hide();
  app_.PrintLine("> " + app_.CurrentDir);
}

void TForm1::RememberLastDir() {
  // Only a convenience for the next start: a settings file that cannot be written must never
  // fail the scan, nor a script that scans. Told once, not at every scan.
  try {
    app_.Settings().Write(config::keys::kLastDir, app_.CurrentDir);
  } catch (const platform::ProfileWriteError& e) {
    if (last_dir_warned_) return;
    last_dir_warned_ = true;
    app_.PrintLine(std::string("> Warning: ") + e.what() +
                   "; the last directory is not remembered");
  }
}

void TForm1::DirListChange() {
  const std::string path = app::TreeDirToPath(DirList->Directory());
  SearchLine->setText(BytesToText(path));
  if (!platform::DirectoryExists(path)) {
    app_.dialogs().MessageBox(app_.Str(4), app_.Str(2), MsgIcon::kError, MsgButtons::kOk);
    status_panels_[1]->setText(app_.Str(5));
    return;
  }
  if (ListIsCurrent(path)) return ShowListing(fListModel->Entries().size());
  fListModel->Clear();
  const std::size_t count = FillFileList(path);
  ShowListing(count);
  if (count > 0) app_.CurrentDir = path;
}

void TForm1::gobtnClick() {
  ScanDirectory1Click();
  // The bare name is looked for in the working directory first, then beside the program.
  const char* kClick = "click.wav";
  platform::PlaySoundAsync(platform::FileExists(kClick) ? kClick : app_.ProgramDir() + kClick);
}

void TForm1::btnUpOnDirClick() {
  SearchLine->setText(BytesToText(app::ParentPath(TextToBytes(SearchLine->text()))));
  ScanDirectory1Click();
}

const std::vector<std::string>& TForm1::Entries() const {
  return fListModel->Entries();
}

std::vector<int> TForm1::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : fList->selectionModel()->selectedIndexes()) {
    rows.push_back(index.row());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TForm1::CurrentRow() const {
  const QModelIndex index = fList->currentIndex();
  return index.isValid() ? index.row() : -1;
}

void TForm1::SetCurrentRow(int row) {
  fList->selectionModel()->setCurrentIndex(row < 0 ? QModelIndex() : fListModel->index(row),
                                           QItemSelectionModel::NoUpdate);
}

void TForm1::fListClick() {
  const int row = CurrentRow();
  if (row < 0 || app::IsSearchResultsPath(app_.CurrentDir)) return;
  const std::string& entry = fListModel->Entry(row);
  app_.CurrentFile = app_.CurrentDir + entry;
  if (entry == "../") {
    status_panels_[2]->setText(app_.Str(77));
  } else if (entry.find(platform::kPathDelim) != std::string::npos) {
    status_panels_[2]->setText(app_.Str(66));
  } else if (auto info = platform::StatFile(TextToBytes(SearchLine->text()) + entry)) {
    const QDate date = QDateTime::fromSecsSinceEpoch(info->mtime).date();
    status_panels_[2]->setText(app_.Str(49) + " : " + QString::number(info->size / 1024) + " " +
                               app_.Str(78) + "; " + app_.Str(50) + " : " +
                               QLocale::system().toString(date, QLocale::ShortFormat) + ";");
  } else {
    // The path line no longer names the listed directory: nothing sensible to show.
    status_panels_[2]->clear();
  }
}

void TForm1::fListDblClick() {
  const int row = CurrentRow();
  if (row < 0) return;
  const std::string entry = fListModel->Entry(row);
  if (entry == "../") {
    app_.CurrentDir = app::ParentPath(app_.CurrentDir);
  } else if (app_.CurrentDir.empty() && entry.back() != platform::kPathDelim) {
    // A found file in the search results: list the directory that holds it.
    app_.CurrentDir = platform::DirName(entry);
  } else if (entry.find(platform::kPathDelim) != std::string::npos) {
    app_.CurrentDir += entry;
  } else {
    platform::OpenDocument(app_.CurrentDir + entry);
    return;
  }
  SearchLine->setText(BytesToText(app_.CurrentDir));
  ScanDirectory1Click();
}

void TForm1::SELECTALL1Click() {
  fList->selectAll();
}

void TForm1::Deselect1Click() {
  fList->clearSelection();
}

void TForm1::REMOVECURSOR1Click() {
  SetCurrentRow(-1);
}

void TForm1::DIRTREE1Click() {
  DIRTREE1->setChecked(!DIRTREE1->isChecked());
  DirTree->setVisible(DIRTREE1->isChecked());
}
