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

class App;

class TOptionz : public QWidget {
 public:
  explicit TOptionz(App& app);

  // Sets the captions and loads every control from config.ini, favapps.bw and the Lang folder.
  void FormCreate();

  // The colour of the background preview (red, green and blue bars of its group).
  QColor BackgroundColour() const;
  // The colour of the text preview.
  QColor TextColour() const;

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
  QCheckBox* chxConsoleClear;
  QLabel* lblLogowhaid;
  QLineEdit* logowhaid;
  QLabel* lblMs;
  QGroupBox* GroupBox1;
  QListWidget* faplist;
  QPushButton* btnAdd;
  QPushButton* btnremov;
  QPushButton* btnOk;

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

  App& app_;
};
