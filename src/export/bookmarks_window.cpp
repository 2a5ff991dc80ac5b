#include "export/bookmarks_window.h"

#include <QLineEdit>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/app.h"
#include "app/main_window.h"
#include "config/settings_rules.h"
#include "platform/file_ops.h"
#include "ui/byte_text.h"

TfrmBookMarks::TfrmBookMarks(App& app) : QWidget(nullptr, Qt::Tool), app_(app) {
  setObjectName("frmBookMarks");
  addtoolz = new QToolBar(this);
  addsrch = new QLineEdit(addtoolz);
  add = new QToolButton(addtoolz);
  add->setCursor(Qt::PointingHandCursor);
  del = new QToolButton(addtoolz);
  btnSort = new QToolButton(addtoolz);
  addtoolz->addWidget(addsrch);
  addtoolz->addWidget(add);
  addtoolz->addWidget(del);
  addtoolz->addWidget(btnSort);
  bookmarkz = new QListWidget(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(addtoolz);
  layout->addWidget(bookmarkz);

  connect(add, &QToolButton::clicked, this, [this] { app_.Guarded([this] { addClick(); }); });
}

void TfrmBookMarks::FormCreate() {
  setWindowTitle(app_.Str(28));
  add->setText(app_.Str(40));
  del->setText(app_.Str(41));
  btnSort->setText(app_.Str(100));
  // A bookmark file that cannot be read is reported; the rest of the window stays usable.
  app_.Guarded([this] { LoadBookmarks(); });
}

void TfrmBookMarks::LoadBookmarks() {
  const std::string file = app_.ProgramDir() + config::kBookmarksFileName;
  std::vector<std::string> lines;
  if (platform::FileExists(file)) {
    // Read before either list is touched: a file that exists but cannot be read must not leave
    // the lists empty, because the main window writes its list over the file when it closes.
    const auto text = platform::ReadWholeFile(file);
    if (!text) throw std::runtime_error("Cannot read " + file);
    lines = platform::SplitLines(*text);
  } else {
    lines = {"/"};
  }

  QStringList items;
  for (const std::string& line : lines) items << BytesToText(line);
  bookmarkz->clear();
  bookmarkz->addItems(items);
  if (app_.Form1 != nullptr) {
    app_.Form1->bookmarkz->clear();
    app_.Form1->bookmarkz->addItems(items);
  }
}

void TfrmBookMarks::addClick() {
  const QString text = addsrch->text();
  for (int i = 0; i < bookmarkz->count(); ++i) {
    if (bookmarkz->item(i)->text() == text) {
      app_.dialogs().MessageBox(app_.Str(72), kAppTitle, MsgIcon::kNone, MsgButtons::kOk);
      return;
    }
  }
  bookmarkz->addItem(text);
  if (app_.Form1 != nullptr) app_.Form1->bookmarkz->addItem(text);
  app_.PrintLine("> Bookmark: " + TextToBytes(text));
}
