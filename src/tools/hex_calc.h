#pragma once

// The hex calculator: converts one byte value between hexadecimal, decimal and character.

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

class App;

class TfrmHexCalc : public QWidget {
 public:
  explicit TfrmHexCalc(App& app);

  // Sets the caption from the language table.
  void FormCreate();

  QLineEdit* txtChislo;
  QGroupBox* rgtypBox;
  // The notation of txtChislo: 0 HEX, 1 DEC, 2 CHR (the radio buttons' ids).
  QButtonGroup* rgtyp;
  QPushButton* btnHex;
  QPushButton* btnDec;
  QPushButton* btnChar;

 private:
  App& app_;
};
