#pragma once

// The search window: finds files matching a mask in a directory and every directory below it.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>

class App;

class TfrmSearch : public QWidget {
 public:
  explicit TfrmSearch(App& app);

  // Sets the captions from the language table.
  void FormCreate();

  QLineEdit* txtSearch;
  QLineEdit* txtPathSea;
  QListWidget* rearchresults;
  QPushButton* btnStart;
  QPushButton* btnQuit;
  QStatusBar* info;
  QLabel* infoPanel;

 private:
  App& app_;
};
