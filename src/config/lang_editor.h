#pragma once

// The language editor: translates the texts of a language file one entry at a time.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class App;

class TfrmLangEdit : public QWidget {
 public:
  explicit TfrmLangEdit(App& app);

  // Sets the captions, today's date and the entry numbers 1 to 100.
  void FormCreate();

  QLineEdit* txtName;
  QLabel* lblAuth;
  QLineEdit* txtAutor;
  QLabel* lblName;
  QLineEdit* txtLangName;
  QLabel* lbldate;
  QLineEdit* txtDate;
  QComboBox* cmbID;
  QPlainTextEdit* memText;
  QPushButton* btnPlus;
  QPushButton* btnSave;
  QPushButton* btnCancel;

 private:
  App& app_;
};
