#pragma once

// The hex calculator: converts one byte value between hexadecimal, decimal and character.

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <string>

class App;

class TfrmHexCalc : public QWidget {
 public:
  explicit TfrmHexCalc(App& app);

  // Sets the caption from the language table.
  void FormCreate();
  // Puts a hexadecimal number (bytes, Latin-1) into txtChislo to be converted.
  void SetHexNumber(const std::string& number);
  // Convert the value in place to hexadecimal, decimal or a character.
  void btnHexClick();
  void btnDecClick();
  void btnCharClick();

  QLineEdit* txtChislo;
  QGroupBox* rgtypBox;
  // The notation of txtChislo: 0 HEX, 1 DEC, 2 CHR (the radio buttons' ids).
  QButtonGroup* rgtyp;
  QPushButton* btnHex;
  QPushButton* btnDec;
  QPushButton* btnChar;

 private:
  // Converts txtChislo from the notation rgtyp names to `to` (0 HEX, 1 DEC, 2 CHR).
  void ConvertTo(int to);

  App& app_;
};
