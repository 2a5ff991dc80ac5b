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
#include <string>

class App;

class TfrmSmallCss : public QWidget {
 public:
  explicit TfrmSmallCss(App& app);

  // Sets the captions from the language table.
  void FormCreate();

  // Asks for a tag name and inserts it first in the level of the topmost visible entry; a
  // cancelled question adds nothing.
  void AddTag1Click();
  // Gives the selected entry a new one-space child, selects its first child and shows the
  // declaration panel.
  void EditTag1Click();
  // Removes the selected entry with everything below it.
  void DeleteClick();
  // Replaces the tree by a chosen style file; a file that is not a valid tree is reported and
  // the tree stays as it was.
  void Load1Click();
  // Writes the tree to a chosen file; one saved directly into the FL folder is offered by the
  // HTML file list window.
  void btnSaveClick();
  // Writes the declaration block into the selected entry and hides the panel.
  void Button1Click();
  // Colour and font dialogs for the declaration fields; a cancelled dialog changes nothing.
  void SpeedButton1Click();
  void btnSelColorClick();
  void btnFonFClick();

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
  QTreeWidgetItem* SelectedEntry() const;
  void ChooseColorInto(QLineEdit* field);

  App& app_;
  std::string style_dir_;  // the FL folder, where style files are saved and looked for
};
