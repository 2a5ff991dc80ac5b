#pragma once

// The console's helpers: the variables list (F2), the commands list (F3) and the completion
// popup (F4). Each writes its choice into the console's command line and runs nothing.

#include <QWidget>
#include <string>
#include <vector>

class App;
class QListWidget;

class TfrmConsoleVars : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmConsoleVars(App& app);
  void FormCreate();
  void lVarsClick();
  void lVarsDblClick();

  QListWidget* lVars = nullptr;

 private:
  App& app_;
};

class TfrmConsoleComs : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmConsoleComs(App& app);
  void FormCreate();
  void lComsClick();
  void lComsDblClick();

  QListWidget* lComs = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  App& app_;
};

class TfrmComz : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmComz(App& app);
  void FormCreate() {}
  // Handles a key on the list; true when the key was used.
  bool lstCmKeyDown(int key);
  // Lists the command names that complete what is typed and takes the keys.
  void Offer(const std::vector<std::string>& names);

  QListWidget* lstCm = nullptr;

 private:
  App& app_;
};
