#pragma once

// The language editor: translates the texts of a language file one entry at a time.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

class App;

class TfrmLangEdit : public QWidget {
 public:
  explicit TfrmLangEdit(App& app);

  // Sets the captions, today's date and the entry numbers 1 to 100.
  void FormCreate();
  // Replaces the working table, the author and the language name with those of a language file.
  void Load(const std::string& path);
  // The working text of entry n (1 to 100).
  const std::string& WorkingText(int n) const { return texts_[static_cast<std::size_t>(n - 1)]; }

  void cmbIDChange();
  void btnPlusClick();
  // Writes the language file named by txtName under Lang/ and closes; a file that cannot be
  // written throws and the window stays open.
  void btnSaveClick();
  void btnCancelClick();

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
  // The texts being edited, entries 1 to 100; separate from the program's language table.
  std::vector<std::string> texts_;
};
