#pragma once

// The console's text area. Read-only, it paints the visible lines straight from the line store,
// so a new line costs the same whether the console holds ten lines or ten million. Made
// editable, it hands the text to an ordinary text editor and takes the edited text back when it
// becomes read-only again.

#include <QAbstractScrollArea>
#include <string>
#include <vector>

#include "console/console_text_rules.h"

class QPlainTextEdit;

class ConsoleView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit ConsoleView(QWidget* parent = nullptr);

  // Puts a line on top of the text.
  void PrintLine(std::string line);
  // Adds a line at the bottom of the text.
  void AppendLine(std::string line);
  void Clear();

  // Every line, top first, as the user sees it (with any edits).
  std::vector<std::string> Lines() const;
  std::size_t LineCount() const;

  bool IsReadOnly() const { return editor_ == nullptr; }
  void SetReadOnly(bool read_only);

  // The font face of the text area.
  QString FontFace() const;
  void SetFontFace(const QString& face);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateScrollRange();
  void ScheduleRepaint();

  console::ConsoleText text_;
  QPlainTextEdit* editor_ = nullptr;  // present while the text is editable
  bool repaint_pending_ = false;
};
