#pragma once

// The mask window: picks the main file list's mask from a list of saved masks, edits that list
// and applies a mask.

#include <QComboBox>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

class App;

// The saved mask list beside the program, read at start and written whenever the window closes.
inline constexpr const char* kMaskListFileName = "mask.bw";
// The copy the close button writes, under its bare name (so into the working directory).
inline constexpr const char* kMaskCopyFileName = "msks.dat";

class TMaskSelect : public QWidget {
 public:
  explicit TMaskSelect(App& app);

  // Sets the captions from the language table and loads the saved masks.
  void FormCreate();
  // Saves the masks to mask.bw; runs on every closing of the window.
  void FormClose();

  void btnAddClick();
  void btnDelClick();
  void btnOKClick();
  void btnCloseClick();

  // The items of MaskBox as bytes, in their order.
  std::vector<std::string> Items() const;

  QComboBox* MaskBox;
  QPushButton* btnOK;
  QPushButton* btnAdd;
  QPushButton* btnDel;
  QPushButton* btnClose;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  App& app_;
  // False when mask.bw exists but could not be read: closing then keeps it as it is.
  bool list_loaded_ = true;
};
