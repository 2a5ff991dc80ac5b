#pragma once

// The small CSS editor: a tree of tag names, each with one declaration block, saved as a style
// file for the HTML file list.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

class App;

class TfrmSmallCss : public QWidget {
 public:
  explicit TfrmSmallCss(App& app);

  // Sets the captions from the language table.
  void FormCreate();

  QTreeWidget* treCss;
  QMenu* mnuPopCss;
  QAction* AddTag1;
  QAction* EditTag1;
  QAction* Delete;
  QAction* Load1;
  QPushButton* btnSave;

  // The declaration fields, hidden until a tag is edited.
  QWidget* pnlEditor;
  QLineEdit* txtBgClr;
  QPushButton* SpeedButton1;
  QLineEdit* txtColor;
  QPushButton* btnSelColor;
  QLineEdit* txtFontFam;
  QPushButton* btnFonF;
  QLineEdit* txtFontSize;
  QComboBox* ComboBox1;
  QComboBox* cxDecor;
  QPushButton* Button1;

 private:
  QWidget* BuildEditor();

  App& app_;
};
