#pragma once

// The mask window: picks the main file list's mask from a list of saved masks.

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

class App;

class TMaskSelect : public QWidget {
 public:
  explicit TMaskSelect(App& app);

  // Sets the captions from the language table.
  void FormCreate();

  QComboBox* MaskBox;
  QPushButton* btnOK;
  QPushButton* btnAdd;
  QPushButton* btnDel;
  QPushButton* btnClose;

 private:
  App& app_;
};
