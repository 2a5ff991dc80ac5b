#pragma once

// The batch window: renames a group of files by a numbering pattern or by replacing text in
// their names, and holds a small editor for console scripts.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

class App;

class TfrmBatch : public QWidget {
 public:
  explicit TfrmBatch(App& app);

  // Sets the captions from the language table.
  void FormCreate();
  // The numbering run over filelest with the pattern in masktoren.
  void butbtngoClick();

  // The file names the window works on, without directory.
  QListWidget* filelest;
  // Three pages: numbering (0), script editor (1), replace (2).
  QTabWidget* Pages;

  QWidget* sheettonombs;
  QLabel* maskto;
  QLineEdit* masktoren;
  QPushButton* butbtngo;
  QPushButton* btnVars;
  QPushButton* btnConsts;
  QPlainTextEdit* legend1;
  QProgressBar* ProgressBar1;

  QWidget* tbScript;
  QToolButton* btnRun;
  QToolButton* ToolButton2;
  QToolButton* ToolButton1;
  QPlainTextEdit* memscript;

  QWidget* tbsstrRep;
  QLineEdit* txtReplasewhat;
  QLabel* lbl1;
  QLineEdit* txtReplacewith;
  QPushButton* btnDo;
  QStatusBar* StatusBar1;

 private:
  QWidget* BuildNumberingPage();
  QWidget* BuildScriptPage();
  QWidget* BuildReplacePage();

  App& app_;
};
