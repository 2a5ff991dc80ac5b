#pragma once

// The hex viewer's text area. It shows the dump text of a file but never holds it: each paint
// reads the bytes of the lines on screen and formats them, so a file of any size opens at once
// and takes no more memory than a small one. Positions are characters of the dump text (64-bit);
// what the user selects and copies is exactly that text.

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "tools/hex_rules.h"

namespace platform {
class RandomAccessFile;
}

class HexDumpView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit HexDumpView(QWidget* parent = nullptr);

  // Shows the dump of the first `size` bytes of `file`.
  void SetFile(std::shared_ptr<const platform::RandomAccessFile> file, std::int64_t size);
  // Shows nothing.
  void clear();
  bool HasDump() const { return file_ != nullptr; }
  bool isReadOnly() const { return true; }
  std::int64_t FileSize() const { return size_; }
  const std::shared_ptr<const platform::RandomAccessFile>& File() const { return file_; }
  // Reads bytes of the shown file (for the dump rules); -1 when nothing is shown or it fails.
  tools::ByteReader Reader() const;

  // Characters of the dump text (0 when nothing is shown).
  std::int64_t TextLength() const;
  // The whole dump text; meant for small files.
  QString toPlainText() const;

  std::int64_t SelectionStart() const { return std::min(anchor_, caret_); }
  std::int64_t SelectionLength() const { return std::max(anchor_, caret_) - SelectionStart(); }
  std::int64_t Caret() const { return caret_; }
  // Selects `length` characters from `start` (kept inside the text) and scrolls to them.
  void SetSelection(std::int64_t start, std::int64_t length);
  // The selected dump text; nothing when it cannot be read.
  std::optional<std::string> SelectedText() const;
  // The byte under the selection's start (or the caret); nothing on a label or line break.
  std::optional<std::int64_t> SelectedByte() const;
  // Copies the selection to the clipboard; false when it is too large or cannot be read.
  bool CopySelection();

  // The first line on screen.
  std::int64_t TopLine() const { return top_line_; }
  // The text position a point of the viewport stands for, as a click puts the caret there.
  std::int64_t PositionAt(const QPoint& point) const;
  // The viewport point of a text position's left edge (for tests and scrolling).
  QPoint PointOf(std::int64_t position) const;

  // Runs on every mouse button going down, with the caret position the click set; the owner
  // decides the selection.
  std::function<void(std::int64_t caret)> on_mouse_down;

  // The largest selection the clipboard takes (characters).
  static constexpr std::int64_t kMaxCopy = std::int64_t{64} << 20;

 signals:
  void selectionChanged();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  int CharWidth() const;
  int TextColumnStart() const;  // the character column where the bytes show as text
  int LineHeight() const;
  int VisibleLines() const;  // lines that fit whole
  std::int64_t LineCount() const;
  void SetTopLine(std::int64_t line);
  void UpdateScrollRange();
  void MoveCaret(std::int64_t position, bool extend);
  void EnsureVisible(std::int64_t position);

  std::shared_ptr<const platform::RandomAccessFile> file_;
  std::int64_t size_ = 0;
  std::int64_t top_line_ = 0;
  std::int64_t anchor_ = 0;
  std::int64_t caret_ = 0;
  std::int64_t lines_per_step_ = 1;  // lines per scroll bar step, above 1 for huge files
  std::int64_t press_position_ = 0;  // where the mouse button went down
  bool dragging_ = false;
};
