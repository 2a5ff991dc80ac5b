#include "export/bookmarks_window.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/app.h"
#include "app/main_window_api.h"
#include "config/settings_rules.h"
#include "export/bookmark_rules.h"
#include "platform/file_ops.h"
#include "platform/text_file.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

TfrmBookMarks::TfrmBookMarks(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmBookMarks");
  addtoolz = new QToolBar(this);
  addsrch = new QLineEdit(addtoolz);
  // The path box takes the tool bar's spare width but never less than a short path needs.
  addsrch->setMinimumWidth(150);
  add = new QToolButton(addtoolz);
  add->setCursor(Qt::PointingHandCursor);
  del = new QToolButton(addtoolz);
  btnSort = new QToolButton(addtoolz);
  addtoolz->addWidget(addsrch);
  addtoolz->addWidget(add);
  addtoolz->addWidget(del);
  addtoolz->addWidget(btnSort);
  bookmarkz = new QListWidget(this);
  // The bookmark a search finds stays marked while the focus is in the search box.
  QPalette palette = bookmarkz->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  bookmarkz->setPalette(palette);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(addtoolz);
  layout->addWidget(bookmarkz);
  resize(480, 360);

  const auto guard = ui::GuardedSlots(app_, this);
  connect(add, &QToolButton::clicked, this, guard(&TfrmBookMarks::addClick));
  connect(del, &QToolButton::clicked, this, guard(&TfrmBookMarks::delClick));
  connect(btnSort, &QToolButton::clicked, this, guard(&TfrmBookMarks::btnSortClick));
  connect(addsrch, &QLineEdit::textChanged, this, guard(&TfrmBookMarks::addsrchChange));
  connect(bookmarkz, &QListWidget::itemDoubleClicked, this,
          guard(&TfrmBookMarks::bookmarkzDblClick));
}

void TfrmBookMarks::FormCreate() {
  setWindowTitle(app_.Str(28));
  add->setText(app_.Str(40));
  del->setText(app_.Str(41));
  btnSort->setText(app_.Str(100));
  // A bookmark file that cannot be read is reported; the rest of the window stays usable.
  if (!loaded_) app_.Guarded([this] { LoadBookmarks(); });
  FillLists();
}

void TfrmBookMarks::LoadBookmarks() {
  const std::string file = app_.SettingsDir() + config::kBookmarksFileName;
  std::vector<std::string> stored = {"/"};
  if (platform::FileExists(file)) {
    // A file that exists but cannot be read leaves the list as it was and marks it as not
    // loaded, so that closing never writes it over the file.
    const auto text = platform::ReadWholeFile(file);
    if (!text) throw std::runtime_error("Cannot read " + file);
    stored = bookmarks::Parse(*text);
  }
  // Bookmarks added while the file could not be read follow the file's own.
  for (const std::string& added : list_) {
    if (bookmarks::FindExact(stored, added) < 0) stored.push_back(added);
  }
  list_ = std::move(stored);
  if (sorted_) bookmarks::Sort(list_);
  loaded_ = true;
}

void TfrmBookMarks::FillLists() {
  QStringList items;
  for (const std::string& bookmark : list_) items << BytesToText(bookmark);
  bookmarkz->clear();
  bookmarkz->addItems(items);
  if (app_.Form1 != nullptr) app_.Main().SetBookmarks(list_);
}

void TfrmBookMarks::Insert(int row, const std::string& bookmark) {
  list_.insert(list_.begin() + row, bookmark);
  bookmarkz->insertItem(row, BytesToText(bookmark));
  if (app_.Form1 != nullptr) app_.Main().InsertBookmark(row, bookmark);
}

void TfrmBookMarks::FormShow() {
  addsrch->setText(BytesToText(app_.Main().ListedPath()));
}

void TfrmBookMarks::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  app_.Guarded([this] { FormShow(); });
}

void TfrmBookMarks::addClick() {
  const std::string text = TextToBytes(addsrch->text());
  if (bookmarks::FindExact(list_, text) >= 0) {
    app_.dialogs().MessageBox(app_.Str(72), kAppTitle, MsgIcon::kNone, MsgButtons::kOk);
    return;
  }
  // In sorted mode both lists take the new entry at its sorted place, so they stay equal.
  Insert(sorted_ ? bookmarks::SortedPosition(list_, text) : static_cast<int>(list_.size()), text);
  app_.PrintLine("> Bookmark: " + text);
}

void TfrmBookMarks::AddBookmark(const std::string& path) {
  addsrch->setText(BytesToText(path));
  addClick();
}

void TfrmBookMarks::delClick() {
  const int row = bookmarkz->currentRow();
  if (row < 0 || row >= static_cast<int>(list_.size()) || !bookmarkz->currentItem()->isSelected())
    return;
  list_.erase(list_.begin() + row);
  delete bookmarkz->takeItem(row);
  if (app_.Form1 != nullptr) app_.Main().RemoveBookmark(row);
}

void TfrmBookMarks::btnSortClick() {
  sorted_ = true;
  bookmarks::Sort(list_);
  FillLists();
}

void TfrmBookMarks::addsrchChange() {
  const int row = bookmarks::FindContaining(list_, TextToBytes(addsrch->text()));
  bookmarkz->setCurrentRow(row);
  if (row < 0) bookmarkz->clearSelection();
}

void TfrmBookMarks::bookmarkzDblClick() {
  const int row = bookmarkz->currentRow();
  if (row < 0 || row >= static_cast<int>(list_.size())) return;
  app_.Show(app_.MainWidget());
  app_.Main().ShowDirectory(list_[row]);
  close();
}

void TfrmBookMarks::SaveBookmarks() {
  const std::string file = app_.SettingsDir() + config::kBookmarksFileName;
  if (!loaded_) {
    app_.PrintLine("> Warning: Bookmarks not saved, " + file + " could not be read");
    return;
  }
  platform::WriteFileAtomic(file, bookmarks::Serialize(list_));
}

void TfrmBookMarks::closeEvent(QCloseEvent* event) {
  // A file that cannot be written is reported once; the window closes all the same, since
  // nothing the user could do here would let it be saved.
  app_.Guarded([this] { SaveBookmarks(); });
  event->accept();
}
