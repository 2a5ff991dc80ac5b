#pragma once

// What the commands and the console's helper windows may ask of the console window. They reach
// it through App::Console() and call these, never its controls.

#include <QString>
#include <string>

class QWidget;

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;

  // Adds every line of a text file at the bottom; "> Error: ???" when it cannot be read.
  virtual void AppendTextFile(const std::string& file_name) = 0;
  // Prints one line for each entry matching prefix + FileMask: name, size and date.
  virtual void ListFiles(const std::string& prefix) = 0;
  // Writes the console text, top line first, to a file (cn_save_data).
  virtual void SaveConsoleText(const std::string& file_name) = 0;
  // Empties the console text, asking first when the options say so (cn_clear).
  virtual void ClearConsoleText() = 0;
  // Whether the console text can be edited by hand.
  virtual void SetReadOnly(bool read_only) = 0;
  // The face of the console text's font, and a new one for it.
  virtual std::string FontFace() const = 0;
  virtual void SetFontFace(const std::string& face) = 0;
  // Names the window "<title> - Console", or plainly the console's caption for an empty title.
  virtual void SetTitle(const std::string& title) = 0;
  virtual void HideWindow() = 0;

  // Sets the command line, with the caret just before its last character.
  virtual void SetCommandBeforeParen(const QString& text) = 0;
  // Inserts text at the command line's caret.
  virtual void InsertInCommandLine(const QString& text) = 0;
  // Gives the keys back to the command line after a helper window made its choice.
  virtual void ReturnToCommandLine() = 0;
  // The name of the last dispatched line that held "(", recalled by the Up key.
  virtual void RememberCommand(const std::string& name) = 0;
  // Puts a helper window against the right edge of the console's frame, as tall as the console.
  virtual void PlaceBeside(QWidget* helper) const = 0;
};
