#include "ui/console_view.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "ui/byte_text.h"

ConsoleView::ConsoleView(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(13);
  setFont(font);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
          qOverload<>(&QWidget::update));
}

void ConsoleView::PrintLine(std::string line) {
  if (editor_ != nullptr) {
    QTextCursor cursor(editor_->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(BytesToText(line) + '\n');
    return;
  }
  text_.PrintLine(std::move(line));
  ScheduleRepaint();
}

void ConsoleView::AppendLine(std::string line) {
  if (editor_ != nullptr) {
    editor_->appendPlainText(BytesToText(line));
    return;
  }
  text_.AppendLine(std::move(line));
  ScheduleRepaint();
}

void ConsoleView::Clear() {
  if (editor_ != nullptr) editor_->clear();
  text_.Clear();
  ScheduleRepaint();
}

std::size_t ConsoleView::LineCount() const {
  if (editor_ != nullptr) return static_cast<std::size_t>(editor_->document()->blockCount());
  return text_.size();
}

std::vector<std::string> ConsoleView::Lines() const {
  if (editor_ == nullptr) return text_.Lines();
  std::vector<std::string> lines;
  for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next()) {
    lines.push_back(TextToBytes(b.text()));
  }
  // An empty document still has one empty block; a text that ended in a line break too.
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

void ConsoleView::SetReadOnly(bool read_only) {
  if (read_only == IsReadOnly()) return;
  if (read_only) {
    text_.SetLines(Lines());
    delete editor_;
    editor_ = nullptr;
    ScheduleRepaint();
    return;
  }
  editor_ = new QPlainTextEdit(this);
  editor_->setFont(font());
  editor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QString all;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    all += BytesToText(text_.Line(i));
    all += '\n';
  }
  editor_->setPlainText(all);
  editor_->setGeometry(rect());
  editor_->show();
  text_.Clear();
}

QString ConsoleView::FontFace() const {
  return font().family();
}

void ConsoleView::SetFontFace(const QString& face) {
  QFont f = font();
  f.setFamily(face);
  setFont(f);
  if (editor_ != nullptr) editor_->setFont(f);
  ScheduleRepaint();
}

void ConsoleView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (editor_ != nullptr) editor_->setGeometry(rect());
  UpdateScrollRange();
}

void ConsoleView::ScheduleRepaint() {
  // Many lines may arrive in one event; the range and the picture are brought up to date once.
  if (repaint_pending_ || !isVisible()) return;
  repaint_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    repaint_pending_ = false;
    UpdateScrollRange();
    viewport()->update();
  });
}

void ConsoleView::UpdateScrollRange() {
  const int lines = static_cast<int>(std::min<std::size_t>(text_.size(), INT_MAX));
  verticalScrollBar()->setRange(0, std::max(0, lines - 1));
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / fontMetrics().height()));
}

void ConsoleView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  // Lines printed while hidden did not touch the scroll bar.
  UpdateScrollRange();
}

void ConsoleView::paintEvent(QPaintEvent*) {
  if (editor_ != nullptr) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics fm(font());
  const int line_height = fm.height();
  const int char_width = std::max(1, fm.horizontalAdvance('M'));
  // Long lines wrap at spaces; the fixed-pitch face makes a row a character count.
  const auto per_row =
      static_cast<std::size_t>(std::max(1, (viewport()->width() - 4) / char_width));
  int y = 0;
  for (std::size_t i = static_cast<std::size_t>(verticalScrollBar()->value());
       i < text_.size() && y < viewport()->height(); ++i) {
    const QString line = BytesToText(text_.Line(i));
    const std::u16string_view units(reinterpret_cast<const char16_t*>(line.utf16()),
                                    static_cast<std::size_t>(line.size()));
    const std::vector<std::size_t> starts = console::WrapStarts(units, per_row);
    for (std::size_t row = 0; row < starts.size() && y < viewport()->height(); ++row) {
      const std::size_t end = row + 1 < starts.size() ? starts[row + 1] : units.size();
      painter.drawText(
          2, y + fm.ascent(),
          line.mid(static_cast<qsizetype>(starts[row]), static_cast<qsizetype>(end - starts[row])));
      y += line_height;
    }
  }
}
