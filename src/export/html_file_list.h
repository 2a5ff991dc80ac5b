#pragma once

// The HTML file list window: writes the files of one directory into an HTML page, optionally
// styled by a style file from the FL folder.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

class App;

class TfrmHTMLFileList : public QWidget {
 public:
  explicit TfrmHTMLFileList(App& app);

  // Sets the captions and lists the style files of the FL folder in lStyles.
  void FormCreate();

  // The directory to list, ending in the delimiter.
  QLineEdit* path;
  QCheckBox* flFoolPath;
  QCheckBox* flDate;
  QCheckBox* flSize;
  QLabel* title;
  QLineEdit* fTitle;
  QPushButton* btOK;
  QPushButton* btCancel;
  QPushButton* btnstyles;
  QLabel* Label1;
  QListWidget* lStyles;
  QPushButton* btnSmall;

 private:
  App& app_;
};
