// What the main window does for the other windows: they name what they want, and only this window
// touches its path line, its list and its panels.

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "app/app.h"
#include "app/list_watch.h"
#include "app/main_menu.h"
#include "app/main_window.h"
#include "ui/byte_text.h"
#include "ui/file_list_model.h"

void TForm1::ShowDirectory(const std::string& path) {
  SearchLine->setText(BytesToText(path));
  ScanDirectory1Click();
}

std::string TForm1::ListedPath() const {
  return TextToBytes(SearchLine->text());
}

void TForm1::SetMask(const std::string& mask) {
  app_.FileMask = mask;
  app::SetMainMenuCaption(*this, app_, &TForm1::Mask1);
  ScanDirectory1Click();
}

void TForm1::SetBookmarks(const std::vector<std::string>& bookmarks) {
  QStringList items;
  for (const std::string& bookmark : bookmarks) items << BytesToText(bookmark);
  // The list lists a directory whenever its current entry changes; refilling it must not.
  const QSignalBlocker quiet(bookmarkz);
  bookmarkz->clear();
  bookmarkz->addItems(items);
}

void TForm1::InsertBookmark(int row, const std::string& bookmark) {
  const QSignalBlocker quiet(bookmarkz);
  bookmarkz->insertItem(row, BytesToText(bookmark));
}

void TForm1::RemoveBookmark(int row) {
  const QSignalBlocker quiet(bookmarkz);
  delete bookmarkz->takeItem(row);
}

void TForm1::ShowPanel(Panel panel, bool show) {
  (panel == Panel::kDirTree ? DirTree : bookmarkz)->setVisible(show);
}

bool TForm1::PanelShown(Panel panel) const {
  return !(panel == Panel::kDirTree ? DirTree : bookmarkz)->isHidden();
}

std::vector<std::string> TForm1::SelectedEntries() const {
  const std::vector<std::string>& entries = Entries();
  std::vector<std::string> selected;
  for (int row : SelectedRows()) selected.push_back(entries[static_cast<std::size_t>(row)]);
  return selected;
}

void TForm1::WhenListChanges(std::function<void()> listener) {
  if (list_listeners_.empty()) {
    // Every change of the entries reaches the view through one of these; so it reaches the
    // listeners, however the list came to change.
    const auto notify = [this] {
      for (const auto& each : list_listeners_) each();
    };
    connect(fListModel, &QAbstractItemModel::modelReset, this, notify);
    connect(fListModel, &QAbstractItemModel::rowsInserted, this, notify);
    connect(fListModel, &QAbstractItemModel::rowsRemoved, this, notify);
    connect(fListModel, &QAbstractItemModel::dataChanged, this, notify);
  }
  list_listeners_.push_back(std::move(listener));
}

void TForm1::HoldListChanges(bool hold) {
  list_watch_->Hold(hold);
}

void TForm1::CloseWindow() {
  close();
}
