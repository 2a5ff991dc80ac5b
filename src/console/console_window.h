#pragma once

// The console: the program's message log and the command line of the console language.

#include <QWidget>
#include <string>
#include <string_view>

#include "console/console_api.h"

class App;
class ConsoleView;
class QLineEdit;

class TfrmConsole : public QWidget, public ConsoleApi {
  Q_OBJECT

 public:
  explicit TfrmConsole(App& app);
  void FormCreate();
  void FormResize();

  // Puts a line on top of the console text.
  void PrintLine(std::string_view text);
  // What the commands and the helper windows ask of this one (see ConsoleApi).
  void AppendTextFile(const std::string& file_name) override;
  void ListFiles(const std::string& prefix) override;
  void SaveConsoleText(const std::string& file_name) override;
  void ClearConsoleText() override;
  void SetReadOnly(bool read_only) override;
  std::string FontFace() const override;
  void SetFontFace(const std::string& face) override;
  void SetTitle(const std::string& title) override;
  void HideWindow() override;
  void SetCommandBeforeParen(const QString& text) override;
  void InsertInCommandLine(const QString& text) override;
  void ReturnToCommandLine() override;
  void RememberCommand(const std::string& name) override;
  void PlaceBeside(QWidget* helper) const override;

  // Handles a key on the command line; true when the key was used.
  bool txtCommandKeyDown(int key);

  ConsoleView* textConsole = nullptr;
  QLineEdit* txtCommand = nullptr;
  // The name of the last dispatched line that held "(", recalled by the Up key.
  std::string LastCommand;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  App& app_;
};
