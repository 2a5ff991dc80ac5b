#pragma once

// The options window: colours, font, language, confirmations and favourite applications. While
// the program runs its three confirmation check boxes are the live values of their settings.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "config/option_choices.h"

class App;

class TOptionz : public QWidget {
 public:
  explicit TOptionz(App& app);

  // Sets the captions and loads every control from config.ini, favapps.bw and the Lang folder.
  void FormCreate();

  // The closing steps, however the window is closed: writes every setting, the chosen language
  // and favapps.bw, then runs the creation steps of the windows again so that a new language,
  // font or colour shows at once. Throws when a file cannot be written.
  void FormClose();

  // Event handlers.
  void testClrClick();
  void testfcolorClick();
  void LNamesClick();
  void btnLanEditClick();
  void btnAddClick();
  void btnremovClick();

  // The colour of the background preview (red, green and blue bars of its group).
  QColor BackgroundColour() const;
  // The colour of the text preview.
  QColor TextColour() const;
  // The confirmations and colours as the controls hold them now.
  config::OptionChoices Choices() const;
  // Whether closing the program asks first (bw_quit's argument).
  void SetAskOnExit(bool ask);
  // Adds a program to the list of favourite applications.
  void AddFavouriteApp(const QString& program);

  QTabWidget* Pages;
  QWidget* InterfaceSheet;
  QWidget* Confrimz;

  QGroupBox* bgClr;
  QScrollBar* rCh;
  QScrollBar* gCh;
  QScrollBar* bCh;
  QFrame* testClr;
  QGroupBox* FontColor;
  QScrollBar* fr;
  QScrollBar* fg;
  QScrollBar* fb;
  QFrame* testfcolor;

  QGroupBox* gFont;
  QComboBox* fontz;
  QCheckBox* cb;
  QCheckBox* ci;
  QCheckBox* cu;
  QComboBox* fsize;
  QLabel* Label1;

  QGroupBox* Langvitsh;
  QListWidget* LNames;
  // Language file names, parallel to the lines of LNames.
  std::vector<std::string> hddnlist;
  QPlainTextEdit* about;
  QPushButton* btnLanEdit;

  QCheckBox* onexit;
  QCheckBox* ondel;
  QCheckBox* chxTrash;  // "Delete moves to the trash"
  QCheckBox* chxConsoleClear;
  QLabel* lblLogowhaid;
  QLineEdit* logowhaid;
  QLabel* lblMs;
  QGroupBox* GroupBox1;
  QListWidget* faplist;
  QPushButton* btnAdd;
  QPushButton* btnremov;
  QPushButton* btnOk;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildInterfaceSheet();
  QWidget* BuildConfrimz();
  void LoadFavourites();
  void LoadColours();
  void LoadFont();
  void LoadConfirmations();
  void LoadLanguages();
  void UpdateColourPreviews();
  void UpdateFontPreview();
  // Lets the user pick a colour for one preview panel and moves its three bars to it.
  void ChooseColour(QFrame* panel, QScrollBar* red, QScrollBar* green, QScrollBar* blue);
  // The language file of the selected line of LNames, with its path; empty when none.
  std::string SelectedLanguageFile() const;

  App& app_;
  // False when favapps.bw exists but could not be read: closing then keeps it as it is.
  bool favourites_loaded_ = true;
};
