#include "tools/hex_dump_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>
#include <vector>

#include "platform/file_reader.h"

namespace {

constexpr int kMargin = 3;
// The vertical scroll bar counts in int; beyond this many lines each step covers several.
constexpr std::int64_t kMaxBarSteps = std::int64_t{1} << 30;

}  // namespace

HexDumpView::HexDumpView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
}

void HexDumpView::SetFile(std::shared_ptr<const platform::RandomAccessFile> file,
                          std::int64_t size) {
  file_ = std::move(file);
  size_ = file_ ? size : 0;
  anchor_ = caret_ = 0;
  top_line_ = 0;
  horizontalScrollBar()->setValue(0);
  UpdateScrollRange();
  SetTopLine(0);
  viewport()->update();
  emit selectionChanged();
}

void HexDumpView::clear() {
  SetFile(nullptr, 0);
}

tools::ByteReader HexDumpView::Reader() const {
  return [file = file_](std::int64_t offset, char* buffer, std::int64_t count) -> std::int64_t {
    return file ? file->ReadAt(offset, buffer, count) : -1;
  };
}

std::int64_t HexDumpView::TextLength() const {
  return file_ ? tools::DumpTextLength(size_) : 0;
}

QString HexDumpView::toPlainText() const {
  if (!file_) return {};
  const auto text = tools::DumpSlice(Reader(), size_, 0, TextLength());
  return text ? QString::fromLatin1(*text) : QString();
}

void HexDumpView::SetSelection(std::int64_t start, std::int64_t length) {
  anchor_ = std::clamp<std::int64_t>(start, 0, TextLength());
  caret_ = std::clamp<std::int64_t>(start + length, anchor_, TextLength());
  EnsureVisible(caret_);
  EnsureVisible(anchor_);
  viewport()->update();
  emit selectionChanged();
}

std::optional<std::string> HexDumpView::SelectedText() const {
  if (!file_) return std::string();
  return tools::DumpSlice(Reader(), size_, SelectionStart(), SelectionStart() + SelectionLength());
}

std::optional<std::int64_t> HexDumpView::SelectedByte() const {
  if (!file_) return std::nullopt;
  return tools::DumpByteAt(SelectionLength() > 0 ? SelectionStart() : caret_, size_);
}

bool HexDumpView::CopySelection() {
  if (SelectionLength() == 0 || SelectionLength() > kMaxCopy) return false;
  const auto text = SelectedText();
  if (!text) return false;
  QGuiApplication::clipboard()->setText(QString::fromLatin1(*text));
  return true;
}

int HexDumpView::TextColumnStart() const {
  // One blank cell after the widest hex line, so every line's text starts in the same column.
  return tools::DumpLabelLength(LineCount() - 1) + tools::kBytesPerLine * tools::kCharsPerByte + 1;
}

int HexDumpView::CharWidth() const {
  return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int HexDumpView::LineHeight() const {
  return std::max(1, fontMetrics().height());
}

int HexDumpView::VisibleLines() const {
  return std::max(1, viewport()->height() / LineHeight());
}

std::int64_t HexDumpView::LineCount() const {
  return file_ ? tools::DumpLineCount(size_) : 0;
}

std::int64_t HexDumpView::PositionAt(const QPoint& point) const {
  if (!file_) return 0;
  const std::int64_t line = std::clamp<std::int64_t>(
      top_line_ + (point.y() < 0 ? -1 : point.y() / LineHeight()), 0, LineCount() - 1);
  // As in any text box, a click puts the caret at the character boundary nearest to it.
  const int x = point.x() + horizontalScrollBar()->value() - kMargin;
  const std::int64_t column = std::clamp<std::int64_t>((x + CharWidth() / 2) / CharWidth(), 0,
                                                       tools::DumpLineLength(line, size_));
  return tools::DumpLineStart(line) + (x < 0 ? 0 : column);
}

QPoint HexDumpView::PointOf(std::int64_t position) const {
  const std::int64_t line = tools::DumpLineAt(position, size_);
  const std::int64_t column = position - tools::DumpLineStart(line);
  return QPoint(kMargin - horizontalScrollBar()->value() + static_cast<int>(column) * CharWidth(),
                static_cast<int>((line - top_line_) * LineHeight()));
}

void HexDumpView::paintEvent(QPaintEvent*) {
  if (!file_) return;
  QPainter painter(viewport());
  const int char_width = CharWidth(), line_height = LineHeight();
  const int ascent = fontMetrics().ascent();
  const int x0 = kMargin - horizontalScrollBar()->value();
  const std::int64_t lines = std::min<std::int64_t>(VisibleLines() + 1, LineCount() - top_line_);
  const std::int64_t first_byte = top_line_ * tools::kBytesPerLine;
  const std::int64_t byte_count =
      std::clamp<std::int64_t>(size_ - first_byte, 0, lines * tools::kBytesPerLine);
  std::vector<char> bytes(static_cast<std::size_t>(byte_count));
  const bool failed = file_->ReadAt(first_byte, bytes.data(), byte_count) != byte_count;

  const std::int64_t sel_from = SelectionStart(), sel_to = sel_from + SelectionLength();
  const QPalette& pal = palette();
  std::string text;
  for (std::int64_t i = 0; i < lines; ++i) {
    const std::int64_t line = top_line_ + i;
    const int count = static_cast<int>(
        std::clamp<std::int64_t>(byte_count - i * tools::kBytesPerLine, 0, tools::kBytesPerLine));
    text.clear();
    const auto* line_bytes =
        reinterpret_cast<const unsigned char*>(bytes.data()) + i * tools::kBytesPerLine;
    if (failed) {
      // Bytes that can no longer be read (a file cut short since) are shown as question marks.
      tools::AppendDumpLine(text, line, nullptr, 0);
      for (int b = 0; b < count; ++b) text += "?? ";
    } else {
      tools::AppendDumpLine(text, line, line_bytes, count);
    }
    const int y = static_cast<int>(i) * line_height;
    const QString shown = QString::fromLatin1(text);
    painter.setPen(pal.color(QPalette::Text));
    painter.drawText(x0, y + ascent, shown);
    if (!failed) {
      painter.drawText(x0 + TextColumnStart() * char_width, y + ascent,
                       QString::fromLatin1(tools::DumpTextColumn(line_bytes, count)));
    }

    const std::int64_t start = tools::DumpLineStart(line);
    const std::int64_t next = line + 1 < LineCount()
                                  ? tools::DumpLineStart(line + 1)
                                  : start + static_cast<std::int64_t>(text.size());
    const std::int64_t from = std::max(sel_from, start), to = std::min(sel_to, next);
    if (from < to) {
      // A selected line break shows as one cell after the line's end.
      const int a = static_cast<int>(from - start);
      const int b = std::min(static_cast<int>(to - start), static_cast<int>(text.size()) + 1);
      painter.fillRect(x0 + a * char_width, y, (b - a) * char_width, line_height,
                       pal.color(QPalette::Highlight));
      painter.setPen(pal.color(QPalette::HighlightedText));
      painter.drawText(x0 + a * char_width, y + ascent, shown.mid(a, b - a));
    }
    if (hasFocus() && caret_ >= start && (caret_ < next || line + 1 == LineCount())) {
      const int x = x0 + static_cast<int>(std::min<std::int64_t>(caret_ - start, text.size() + 1)) *
                             char_width;
      painter.fillRect(x, y, 2, line_height, pal.color(QPalette::Text));
    }
  }
}

void HexDumpView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void HexDumpView::UpdateScrollRange() {
  const std::int64_t max_top = std::max<std::int64_t>(0, LineCount() - VisibleLines());
  lines_per_step_ = std::max<std::int64_t>(1, (max_top + kMaxBarSteps - 1) / kMaxBarSteps);
  QScrollBar* bar = verticalScrollBar();
  {
    const QSignalBlocker block(bar);
    bar->setRange(0, static_cast<int>(max_top / lines_per_step_));
    bar->setPageStep(std::max(1, static_cast<int>(VisibleLines() / lines_per_step_)));
    bar->setSingleStep(1);
  }
  SetTopLine(top_line_);
  const int widest = file_ ? TextColumnStart() + tools::kBytesPerLine : 0;
  horizontalScrollBar()->setRange(
      0, std::max(0, widest * CharWidth() + 2 * kMargin - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(CharWidth());
}

void HexDumpView::SetTopLine(std::int64_t line) {
  const std::int64_t max_top = std::max<std::int64_t>(0, LineCount() - VisibleLines());
  top_line_ = std::clamp<std::int64_t>(line, 0, max_top);
  const QSignalBlocker block(verticalScrollBar());
  verticalScrollBar()->setValue(static_cast<int>(top_line_ / lines_per_step_));
  viewport()->update();
}

void HexDumpView::scrollContentsBy(int, int dy) {
  if (dy == 0) {
    viewport()->update();
    return;
  }
  // The vertical bar moved (wheel, drag, its arrows): it decides the top line.
  const QScrollBar* bar = verticalScrollBar();
  const std::int64_t max_top = std::max<std::int64_t>(0, LineCount() - VisibleLines());
  top_line_ = bar->value() == bar->maximum()
                  ? max_top
                  : std::min<std::int64_t>(max_top, bar->value() * lines_per_step_);
  viewport()->update();
}

void HexDumpView::EnsureVisible(std::int64_t position) {
  if (!file_) return;
  const std::int64_t line = tools::DumpLineAt(position, size_);
  if (line < top_line_) {
    SetTopLine(line);
  } else if (line >= top_line_ + VisibleLines()) {
    SetTopLine(line - VisibleLines() + 1);
  }
  QScrollBar* bar = horizontalScrollBar();
  const int x = static_cast<int>(position - tools::DumpLineStart(line)) * CharWidth();
  if (x < bar->value()) {
    bar->setValue(x);
  } else if (x + CharWidth() + 2 * kMargin > bar->value() + viewport()->width()) {
    bar->setValue(x + CharWidth() + 2 * kMargin - viewport()->width());
  }
}

void HexDumpView::MoveCaret(std::int64_t position, bool extend) {
  caret_ = std::clamp<std::int64_t>(position, 0, TextLength());
  if (!extend) anchor_ = caret_;
  EnsureVisible(caret_);
  viewport()->update();
  emit selectionChanged();
}

void HexDumpView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (!file_) return;
  const std::int64_t position = PositionAt(event->position().toPoint());
  dragging_ = event->button() == Qt::LeftButton;
  if (event->modifiers() & Qt::ShiftModifier) {
    MoveCaret(position, true);
    return;
  }
  press_position_ = position;
  if (on_mouse_down) {
    on_mouse_down(position);
  } else {
    MoveCaret(position, false);
  }
}

void HexDumpView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton) || !file_) return;
  const std::int64_t position = PositionAt(event->position().toPoint());
  if (position == press_position_ && anchor_ == press_position_) return;
  anchor_ = press_position_;
  MoveCaret(position, true);
}

bool HexDumpView::event(QEvent* event) {
  // Copy and select-all belong to the dump while it has the keyboard, even where another
  // window (the main window's Ctrl+A) has a shortcut on the same key.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void HexDumpView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    anchor_ = 0;
    MoveCaret(TextLength(), true);
    return;
  }
  if (!file_) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const std::int64_t line = tools::DumpLineAt(caret_, size_);
  const std::int64_t column = caret_ - tools::DumpLineStart(line);
  // The caret keeps its column when it moves to another line, as far as that line reaches.
  auto to_line = [&](std::int64_t target) {
    target = std::clamp<std::int64_t>(target, 0, LineCount() - 1);
    return tools::DumpLineStart(target) +
           std::min<std::int64_t>(column, tools::DumpLineLength(target, size_));
  };
  switch (event->key()) {
    case Qt::Key_Left:
      MoveCaret(caret_ - 1, extend);
      break;
    case Qt::Key_Right:
      MoveCaret(caret_ + 1, extend);
      break;
    case Qt::Key_Up:
      MoveCaret(to_line(line - 1), extend);
      break;
    case Qt::Key_Down:
      MoveCaret(to_line(line + 1), extend);
      break;
    case Qt::Key_PageUp:
      SetTopLine(top_line_ - VisibleLines());
      MoveCaret(to_line(line - VisibleLines()), extend);
      break;
    case Qt::Key_PageDown:
      SetTopLine(top_line_ + VisibleLines());
      MoveCaret(to_line(line + VisibleLines()), extend);
      break;
    case Qt::Key_Home:
      MoveCaret(control ? 0 : tools::DumpLineStart(line), extend);
      break;
    case Qt::Key_End:
      MoveCaret(
          control ? TextLength() : tools::DumpLineStart(line) + tools::DumpLineLength(line, size_),
          extend);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
  }
}
