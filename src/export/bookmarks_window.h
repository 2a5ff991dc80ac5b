#pragma once

// The bookmarks window: keeps the list of bookmarked directories and the file bmks.bw, and
// fills the main window's bookmark list, which mirrors this window's list entry by entry.

#include <QLineEdit>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <string>
#include <vector>

class App;

class TfrmBookMarks : public QWidget {
 public:
  explicit TfrmBookMarks(App& app);

  // Sets the captions and fills both lists. The first run loads bmks.bw ("/" alone when it is
  // missing); later runs keep the list as it stands, so that nothing added since is lost. A
  // file that could not be read is tried again.
  void FormCreate();
  // Shows the window with the main window's path as the search text.
  void FormShow();
  // Adds the text of addsrch to both lists unless it is already a bookmark.
  void addClick();
  // The same for a path given here: it becomes the text of addsrch and is added.
  void AddBookmark(const std::string& path);
  // Removes the selected bookmark from both lists.
  void delClick();
  // Orders both lists alphabetically without regard to case; later adds keep the order.
  void btnSortClick();
  // Selects the first bookmark that contains the text of addsrch, or none.
  void addsrchChange();
  // Lists the selected bookmark in the main window and closes this window.
  void bookmarkzDblClick();
  // Writes the list to bmks.bw, unless the file could not be read (it is never written over
  // then). Throws when the file cannot be written.
  void SaveBookmarks();

  // The bookmarks, as bytes; both list boxes show them in this order.
  const std::vector<std::string>& Bookmarks() const { return list_; }

  QListWidget* bookmarkz;
  QToolBar* addtoolz;
  QLineEdit* addsrch;
  QToolButton* add;
  QToolButton* del;
  QToolButton* btnSort;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void LoadBookmarks();
  void FillLists();
  void Insert(int row, const std::string& bookmark);

  App& app_;
  std::vector<std::string> list_;
  bool loaded_ = false;  // the list holds what bmks.bw held (or it was missing)
  bool sorted_ = false;  // sorted mode stays on until the program ends
};
