#pragma once

// The HTML file list window: writes the files of one directory into an HTML page, optionally
// styled by a style file from the FL folder, and opens the page in the desktop's browser.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <optional>
#include <string>

class App;

class TfrmHTMLFileList : public QWidget {
 public:
  explicit TfrmHTMLFileList(App& app);

  // Sets the captions and lists the style files of the FL folder in lStyles.
  void FormCreate();
  // Makes `dir` the directory whose files the page lists.
  void SetDirectory(const std::string& dir);
  // Offers one more style file of the FL folder, unless it is offered already.
  void AddStyle(const QString& name);

  // Asks for the target file, writes the page there, opens it and closes the window. A
  // cancelled dialog ends the export; a style file that cannot be read or a page that cannot be
  // written stops it with an error and leaves the window open.
  void btOKClick();
  // Shows the main window and closes this one.
  void btCancelClick();
  // Widens the window to show the style list, or narrows it again.
  void btnstylesClick();
  // Shows the small CSS editor.
  void btnSmallClick();

  // The narrow width shows the export controls only; the wide one the style list beside them.
  static constexpr int kNarrowWidth = 296;
  static constexpr int kWideWidth = 500;

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
  // The text of the selected style file, or nothing when no style is selected.
  std::optional<std::string> SelectedStyle() const;

  App& app_;
};
