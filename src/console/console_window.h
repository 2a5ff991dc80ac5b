#pragma once

// The console: the program's message log and the command line of the console language.

#include <QWidget>
#include <string>
#include <string_view>

class App;
class ConsoleView;
class QLineEdit;

class TfrmConsole : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmConsole(App& app);
  void FormCreate();
  void FormResize();

  // Puts a line on top of the console text.
  void PrintLine(std::string_view text);
  // Adds every line of a text file at the bottom; "> Error: ???" when it cannot be read.
  void AppendTextFile(const std::string& file_name);
  // Prints one line for each entry matching prefix + FileMask: name, size and date.
  void ListFiles(const std::string& prefix);
  // Writes the console text, top line first, to a file (cn_save_data).
  void SaveConsoleText(const std::string& file_name);
  // Empties the console text, asking first when the options say so (cn_clear).
  void ClearConsoleText();

  // Gives the keys back to the command line after a helper window made its choice.
  void ReturnToCommandLine();

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
