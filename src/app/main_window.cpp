#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/list_watch.h"
#include "app/listing_rules.h"
#include "app/main_menu.h"
#include "console/console_lists.h"
#include "console/console_window.h"
#include "export/bookmarks_window.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "ui/byte_text.h"
#include "ui/column_list_view.h"
#include "ui/dir_tree.h"
#include "ui/file_list_model.h"
#include "ui/guarded_slot.h"
#include "ui/key_filter.h"

namespace {
// The language for a config.ini that names none yet: the user's own, where a file has it.
std::string FirstStartLanguageFile() {
  std::vector<std::string> values;
  for (const char* name : config::kLocaleVariables) values.push_back(platform::EnvValue(name));
  return config::LanguageFileForLocale(values);
}

// The narrowest the path line gets; a path is still readable in it.
constexpr int kSearchLineMinWidth = 50;
}  // namespace

TForm1::TForm1(App& app) : app_(app) {
  setObjectName("Form1");
  setWindowTitle(kMainCaption);
  resize(689, 525);
  BuildControls();
  BuildMenus();
  list_watch_ = new ListWatch(app_, *this);
}

void TForm1::BuildControls() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolButton2 = new QToolButton(ToolBar1);
  ToolButton2->setObjectName("ToolButton2");
  ToolButton2->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
  ToolBar1->addWidget(ToolButton2);
  btnUpOnDir = new QToolButton(ToolBar1);
  btnUpOnDir->setObjectName("btnUpOnDir");
  btnUpOnDir->setText("UP");
  btnUpOnDir->setToolTip("[UPONFOLDER]");
  btnUpOnDir->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  btnUpOnDir->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  ToolBar1->addWidget(btnUpOnDir);

  addToolBarBreak();
  SearchBar = addToolBar("SearchBar");
  SearchBar->setObjectName("SearchBar");
  SearchBar->setMovable(false);
  SearchLine = new QLineEdit(SearchBar);
  SearchLine->setObjectName("SearchLine");
  SearchLine->setText(QString(1, platform::kPathDelim));
  SearchLine->setMinimumWidth(kSearchLineMinWidth);
  SearchLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  SearchBar->addWidget(SearchLine);
  gobtn = new QToolButton(SearchBar);
  gobtn->setObjectName("gobtn");
  gobtn->setToolTip("Start scan courent directory");
  SearchBar->addWidget(gobtn);

  splitter = new QSplitter(this);
  DirTree = new QWidget(splitter);
  DirTree->setObjectName("DirTree");
  auto* tree_layout = new QVBoxLayout(DirTree);
  tree_layout->setContentsMargins(0, 0, 0, 0);
  DirList = new DirTreeList(DirTree);
  DirList->setObjectName("DirList");
  tree_layout->addWidget(DirList);

  fList = new ColumnListView(splitter);
  fList->setObjectName("fList");
  fListModel = new FileListModel(fList);
  fListModel->SetOrder(
      [](const std::string& a, const std::string& b) { return app::ListingGroupBefore(a, b); });
  fList->setModel(fListModel);
  fList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  fList->setContextMenuPolicy(Qt::CustomContextMenu);
  // Entries drag out to other programs as URIs; files dropped here are copied in (Shift: moved).
  fList->setDragDropMode(QAbstractItemView::DragDrop);
  fList->setDefaultDropAction(Qt::CopyAction);
  fList->setDropIndicatorShown(false);
  fListModel->SetDragAndDrop(
      [this](const std::vector<int>& rows) { return FilesMimeData(rows, false); },
      [this](const QMimeData* data, Qt::DropAction action) {
        bool taken = false;
        app_.Guarded([&] { taken = DropFiles(data, action == Qt::MoveAction); });
        return taken;
      });
  QFont bold = fList->font();
  bold.setBold(true);
  fList->setFont(bold);

  bookmarkz = new QListWidget(splitter);
  bookmarkz->setObjectName("bookmarkz");
  splitter->addWidget(DirTree);
  splitter->addWidget(fList);
  splitter->addWidget(bookmarkz);
  splitter->setSizes({185, 689 - 185 - 156, 156});
  splitter->setStretchFactor(1, 1);
  setCentralWidget(splitter);

  static constexpr int kPanelWidths[3] = {100, 300, 50};
  for (int i = 0; i < 3; ++i) {
    status_panels_[i] = new QLabel(this);
    status_panels_[i]->setMinimumWidth(kPanelWidths[i]);
    statusBar()->addWidget(status_panels_[i], i == 2 ? 1 : 0);
  }
  statusBar()->setObjectName("StatusBar");

  const auto guard = ui::GuardedSlots(app_, this);
  connect(ToolButton2, &QToolButton::clicked, this, guard(&TForm1::ToolButton2Click));
  connect(btnUpOnDir, &QToolButton::clicked, this, guard(&TForm1::btnUpOnDirClick));
  connect(gobtn, &QToolButton::clicked, this, guard(&TForm1::gobtnClick));
  // Enter in the path line does what the scan button does.
  new KeyFilter(SearchLine, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    app_.Guarded([&] { gobtnClick(); });
    return true;
  });
  connect(DirList, &DirTreeList::Changed, this, guard(&TForm1::DirListChange));
  connect(fList, &QAbstractItemView::clicked, this, guard(&TForm1::fListClick));
  connect(fList, &QAbstractItemView::doubleClicked, this, guard(&TForm1::fListDblClick));
  InstallFileListKeys();
  connect(fList, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { FileListPop->popup(fList->viewport()->mapToGlobal(pos)); });
  connect(bookmarkz, &QListWidget::currentRowChanged, this, guard(&TForm1::bookmarkzClick));
  connect(bookmarkz, &QListWidget::itemClicked, this, guard(&TForm1::bookmarkzClick));
}

void TForm1::BuildMenus() {
  app::BuildMainMenus(*this, app_);
  BuildSortMenu();
  ScanDirectory1->setVisible(false);
  const auto guard = ui::GuardedSlots(app_, this);
  connect(Operations1, &QMenu::aboutToShow, this, guard(&TForm1::UpdateUndoCaption));
  // A hidden item takes no shortcut: the window's own action lists again on F5.
  Refresh1 = new QAction(this);
  Refresh1->setObjectName("Refresh1");
  Refresh1->setShortcut(QKeySequence(Qt::Key_F5));
  Refresh1->setShortcutContext(Qt::WindowShortcut);
  addAction(Refresh1);
  connect(Refresh1, &QAction::triggered, this, guard(&TForm1::ScanDirectory1Click));
}

void TForm1::SetCaptions() {
  app::SetMainMenuCaptions(*this, app_);
  gobtn->setText(app_.Str(81));
  status_panels_[0]->setText(app_.Str(53));
  status_panels_[1]->setText(app_.Str(10));
  // The console's command list exists only after this window; on a later run of this step the
  // caption applies.
  if (app_.frmConsoleComs != nullptr) app_.frmConsoleComs->setWindowTitle(app_.Str(85));
}

void TForm1::ApplyFontsAndColours(const config::SettingsSnapshot& settings) {
  namespace keys = config::keys;
  const QString face = BytesToText(settings.Read(keys::kFont));
  QWidget* const styled[] = {fList, DirList, bookmarkz};
  QFont list_font = fList->font();
  list_font.setFamily(face);
  fList->setFont(list_font);
  for (QWidget* w : styled) {
    QFont f = w->font();
    f.setBold(settings.ReadFlag(keys::kFontb));
    f.setItalic(settings.ReadFlag(keys::kFonti));
    f.setUnderline(settings.ReadFlag(keys::kFontu));
    w->setFont(f);
  }
  DirTree->setVisible(settings.ReadFlag(keys::kDirTree));
  DIRTREE1->setChecked(!DirTree->isHidden());
  const bool bookmarks_shown = settings.ReadFlag(keys::kBmatframe);
  bookmarkz->setVisible(bookmarks_shown);
  SHOWBOOKMARKS1->setChecked(bookmarks_shown);
  QFont sized = fList->font();
  sized.setPointSize(static_cast<int>(settings.Read(keys::kFsize)));
  if (sized.pointSize() > 0) fList->setFont(sized);
  // A colour part that is no whole number throws here and ends the creation step, where a user
  // sees the report. A batch run has nobody to fix it: it takes the default and goes on.
  const auto colour = [&](const config::TextKey& key) {
    const std::string value = settings.Read(key);
    try {
      return config::ColourPart(value);
    } catch (const std::invalid_argument& e) {
      if (!app_.batch()) throw;
      app_.PrintLine(std::string("> Warning: [") + key.section + "] " + key.key + ": " + e.what() +
                     ", " + key.def + " taken instead");
      return config::ColourPart(key.def);
    }
  };
  const QColor background(colour(keys::kBgcr), colour(keys::kBgcg), colour(keys::kBgcb));
  const QColor text(colour(keys::kTtcr), colour(keys::kTtcg), colour(keys::kTtcb));
  for (QWidget* w : styled) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Text, text);
    w->setPalette(p);
  }
  QFont tree_font = DirList->font();
  tree_font.setFamily(face);
  DirList->setFont(tree_font);
  QFont bookmark_font = bookmarkz->font();
  bookmark_font.setFamily(fList->font().family());
  bookmarkz->setFont(bookmark_font);
}

void TForm1::FormCreate() {
  try {
    FormResize();
    // Nothing writes the settings while the window dresses itself, so one reading serves.
    const config::SettingsSnapshot settings = app_.Settings().Snapshot();
    app_.Lang.Load(app_.ProgramDir() + "Lang/" +
                   settings.Read(config::keys::kLangFile, FirstStartLanguageFile()));
    SetCaptions();
    ApplyFontsAndColours(settings);
    list_order_ = app::ParseSortOrder(settings.Read(config::keys::kSortOrder));
    ShowListOrder();
    app_.CurrentDir = settings.Read(config::keys::kLastDir, app_.ProgramDir());
    DirList->SetDirectory(app_.CurrentDir);
    BuildFavouritesMenu();
  } catch (const std::exception& e) {
    // The window stays as far as it was dressed; start-up goes on.
    app_.ReportError(QString::fromUtf8(e.what()));
  }
}

void TForm1::FormResize() {
  // The path line fills the width beside the scan button, and shrinks with the window: its
  // width is an upper bound, never a lower one, so the window can always be made narrower.
  SearchLine->setMaximumWidth(std::max(kSearchLineMinWidth, width() - gobtn->width() - 30));
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

bool TForm1::FormCloseQuery() {
  if (!app_.Choices().ask_on_exit) return true;
  return app_.dialogs().MessageBox(app_.Str(5), app_.Str(2), MsgIcon::kWarning,
                                   MsgButtons::kYesNo) == MsgAnswer::kYes;
}

void TForm1::FormClose() {
  // The bookmarks window keeps this list equal to its own and knows whether bmks.bw was read.
  // A bookmark file that cannot be written is reported and does not keep the program running:
  // closing again would not save it either.
  app_.Guarded([this] { app_.frmBookMarks->SaveBookmarks(); });
  const config::Settings settings = app_.Settings();
  settings.Write(config::keys::kLastDirOnClose, TextToBytes(SearchLine->text()));
  settings.WriteFlag(config::keys::kDirTree, !DirTree->isHidden());
  settings.WriteFlag(config::keys::kBmatframe, !bookmarkz->isHidden());
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closed_) return event->accept();
  bool close = false;
  app_.Guarded([&] {
    if (!FormCloseQuery()) return;
    // A failed save keeps the program running, so that nothing the user added is lost.
    FormClose();
    close = true;
  });
  if (!close) return event->ignore();
  closed_ = true;
  event->accept();
  QApplication::quit();
}

void TForm1::Exit1Click() {
  // Ends at once: no question, nothing saved.
  closed_ = true;
  QApplication::exit(0);
}
