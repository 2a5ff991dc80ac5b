#pragma once

// The main window: path line, file list, directory tree, bookmark list, status bar and menus.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/entry_order_rules.h"
#include "app/main_window_api.h"
#include "app/paste_rules.h"
#include "ui/column_list_view.h"

class App;
namespace config {
class SettingsSnapshot;
}
class DirTreeList;
class FileListModel;
class ListWatch;
class PasteJob;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMimeData;
class QSplitter;
class QToolBar;
class QToolButton;

inline constexpr const char* kMainCaption = "Brackwell v0.1.1.25 (Little Steps)";

class TForm1 : public QMainWindow, public MainWindowApi {
  Q_OBJECT

 public:
  explicit TForm1(App& app);

  // The creation step: reads the settings and the language, dresses every control and points
  // the directory tree at the last directory. Safe to run again.
  void FormCreate();
  void FormResize();

  // Lists the path in SearchLine into fList.
  void ScanDirectory1Click() override;
  // The scan after a change this window made and already applied to fList: every step of the
  // scan runs except reading the listed directory again.
  void ScanAfterOwnChange();
  // Appends the entries of one directory to fList; returns how many were found.
  std::size_t FillFileList(const std::string& path);
  // The order the lists show entries in, as chosen in the View menu.
  app::EntryOrder ListOrder() const override;
  // The View menu's order: remembered in config.ini, and the list is listed again in it.
  void SetListOrder(app::SortOrder order);
  void DirListChange();

  void gobtnClick();
  void btnUpOnDirClick();
  void fListClick();
  void fListDblClick();
  void SELECTALL1Click() override;
  void Deselect1Click();
  void REMOVECURSOR1Click();
  void DIRTREE1Click();
  // Enter, Backspace, Alt+Up, Delete, F2, F5 and the clipboard keys; false for other keys.
  bool fListKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // Makes the entry of that list text current and selected, and scrolls it into view.
  void SelectEntry(const std::string& name);
  // The list text of a path in the listed directory (or among the search results).
  std::string ListedName(const std::string& path) const;
  // The desktop clipboard: the selected files (or the one under the cursor) as URIs, to be
  // copied or, with `cut`, moved where they are pasted.
  void CopyToClipboard(bool cut);
  void PasteFromClipboard();
  // Copies (or moves) files and folders into the listed directory, never replacing one: every
  // taken name asks first whether to keep both, skip it or paste nothing; a folder is never
  // pasted into itself. Recorded in the undo history before anything is copied.
  void PasteFiles(const std::vector<std::string>& paths, bool move);
  // The job that carries out pastes and drops, with its progress window.
  PasteJob& paste_job();
  // The clipboard and drag data of some rows; nothing when they hold no file.
  QMimeData* FilesMimeData(const std::vector<int>& rows, bool cut) const;
  // Pastes the files a clipboard or a drop offers; false when it offers none.
  bool DropFiles(const QMimeData* data, bool move);
  void SHOWBOOKMARKS1Click();
  void bookmarkzClick();
  void BOOKMARKS1Click();
  void ADDBOOKMARK1Click();
  void About1Click();
  void Exit1Click();

  // File operations.
  void Delete1Click() override;
  // Ctrl+Z: takes back the most recent change recorded in the undo history.
  void Undo1Click();
  // Names in the Undo item what it will take back.
  void UpdateUndoCaption();
  // Shift+Delete: the current entry's file deleted for ever, after the same question.
  void DeleteForEver1Click();
  void DeleteAll1Click() override;
  void CreateEmptyFile1Click();
  void Rename1Click();
  void mnuCopyFileClick();
  void ViewAsHex1Click();
  void Mask1Click();
  void BatchRename1Click();
  void HTMLLIST1Click();
  void SEARCH1Click();
  void Optionz1Click();
  void ToolButton2Click();

  // Entries that hand command lines to the console.
  void LISTING1Click();
  void mnuViewAsTextClick();
  void pDELELOPERLOG1Click();
  void mnuConsoleClick();
  void Help1Click();
  // One of the Go entries: runs "go(<name>)".
  void GoEntryClick(const char* name);

  // Closing as the title-bar close does it: the optional question, then the saving steps.
  // Returns false when the user kept the program running.
  bool FormCloseQuery();
  void FormClose();
  // Whether the closing steps have run (the window is closed for good).
  bool closed() const override { return closed_; }

  // What the other windows ask of this one (see MainWindowApi).
  void ShowDirectory(const std::string& path) override;
  std::string ListedPath() const override;
  void SetMask(const std::string& mask) override;
  void SetBookmarks(const std::vector<std::string>& bookmarks) override;
  void InsertBookmark(int row, const std::string& bookmark) override;
  void RemoveBookmark(int row) override;
  void ShowPanel(Panel panel, bool show) override;
  bool PanelShown(Panel panel) const override;
  std::vector<std::string> SelectedEntries() const override;
  void WhenListChanges(std::function<void()> listener) override;
  void HoldListChanges(bool hold) override;
  void CloseWindow() override;

  // Builds the favourite applications menu from favapps.bw; entries already there stay.
  void BuildFavouritesMenu();
  void FavorApps(const QString& caption);
  void Default1Click();

  // Texts of the status bar's three panels.
  QLabel* StatusPanel(int index) const { return status_panels_[index]; }
  // The entries of fList, the selected rows and the current row (-1 for none).
  const std::vector<std::string>& Entries() const override;
  std::vector<int> SelectedRows() const;
  int CurrentRow() const;
  void SetCurrentRow(int row);

  // Controls.
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* btnUpOnDir = nullptr;
  QToolBar* SearchBar = nullptr;
  QLineEdit* SearchLine = nullptr;
  QToolButton* gobtn = nullptr;
  QSplitter* splitter = nullptr;
  QWidget* DirTree = nullptr;
  DirTreeList* DirList = nullptr;
  ColumnListView* fList = nullptr;
  FileListModel* fListModel = nullptr;
  QListWidget* bookmarkz = nullptr;

  // Menus and their items.
  QMenu* File1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Optionz1 = nullptr;
  QMenu* FAVAPPS1 = nullptr;
  QAction* N4 = nullptr;
  QAction* Default1 = nullptr;
  QMenu* mnuView = nullptr;
  QAction* DIRTREE1 = nullptr;
  QAction* SHOWBOOKMARKS1 = nullptr;
  QMenu* mnuSort = nullptr;
  QAction* mnuSortDescending = nullptr;
  QMenu* Operations1 = nullptr;
  QAction* ScanDirectory1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Refresh1 = nullptr;  // F5: the scan, from anywhere in the window
  QAction* Delete1 = nullptr;
  QAction* DeleteForEver1 = nullptr;
  QAction* DeleteAll1 = nullptr;
  QAction* CreateEmptyFile1 = nullptr;
  QAction* Mask1 = nullptr;
  QAction* Rename1 = nullptr;
  QAction* BatchRename1 = nullptr;
  QAction* HTMLLIST1 = nullptr;
  QAction* LISTING1 = nullptr;
  QAction* ViewAsHex1 = nullptr;
  QAction* SEARCH1 = nullptr;
  QMenu* BOOKMARKSG1 = nullptr;
  QAction* BOOKMARKS1 = nullptr;
  QAction* ADDBOOKMARK1 = nullptr;
  QAction* mnuConsole = nullptr;
  QMenu* Go1 = nullptr;
  QMenu* SELECTION1 = nullptr;
  QAction* SELECTALL1 = nullptr;
  QAction* Deselect1 = nullptr;
  QAction* REMOVECURSOR1 = nullptr;
  QMenu* Info1 = nullptr;
  QAction* About1 = nullptr;
  QAction* Help1 = nullptr;
  QAction* pDELELOPERLOG1 = nullptr;
  QMenu* FileListPop = nullptr;
  QAction* mnuListViewHex = nullptr;
  QAction* mnuViewAsText = nullptr;
  QAction* mnuCopyFile = nullptr;
  QAction* DELETE2 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  // The current entry's file into the trash, or for ever.
  void DeleteCurrent(bool for_ever);
  void BuildSortMenu();
  void InstallFileListKeys();
  // Sets the sort menu's check marks to the order in use.
  void ShowListOrder();
  void BuildControls();
  void SetCaptions();
  void ApplyFontsAndColours(const config::SettingsSnapshot& settings);
  void ShowListing(std::size_t count);
  // Writes the listed directory into the settings as the one to list at the next start.
  void RememberLastDir();

  // Whether a listing of the directory fList shows can be skipped: it shows the directory already.
  bool ListIsCurrent(const std::string& path) const;

  App& app_;
  QLabel* status_panels_[3] = {};
  ListWatch* list_watch_ = nullptr;
  std::shared_ptr<PasteJob> paste_job_;
  bool list_is_current_ = false;
  bool closed_ = false;
  bool last_dir_warned_ = false;
  // The View menu's order, read with the other settings by the creation step.
  app::SortOrder list_order_;
  std::vector<std::pair<QAction*, app::SortField>> sort_field_items_;
  std::vector<std::function<void()>> list_listeners_;
};
