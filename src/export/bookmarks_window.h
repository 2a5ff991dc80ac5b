#pragma once

// The bookmarks window: keeps the list of bookmarked directories and the file bmks.bw, and
// fills the main window's bookmark list, which mirrors this window's list entry by entry.

#include <QLineEdit>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

class App;

class TfrmBookMarks : public QWidget {
 public:
  explicit TfrmBookMarks(App& app);

  // Sets the captions and reloads both bookmark lists from bmks.bw ("/" alone when missing).
  void FormCreate();
  // Adds the text of addsrch to both lists unless it is already a bookmark.
  void addClick();

  QListWidget* bookmarkz;
  QToolBar* addtoolz;
  QLineEdit* addsrch;
  QToolButton* add;
  QToolButton* del;
  QToolButton* btnSort;

 private:
  void LoadBookmarks();

  App& app_;
};
