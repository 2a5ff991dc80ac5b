#include "ui/column_list_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "ui/column_list_accessible.h"

ColumnListView::ColumnListView(QWidget* parent, int columns)
    : QAbstractItemView(parent), columns_(std::max(1, columns)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Scroll bar values count columns, not pixels.
  horizontalScrollBar()->setSingleStep(1);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  InstallColumnListAccessibility();
}

ColumnListView::~ColumnListView() {
  ForgetAccessibleCells();
}

QAccessibleInterface* ColumnListView::AccessibleCell(int row) const {
  if (row < 0 || row >= Count()) return nullptr;
  auto it = accessible_cells_.find(row);
  if (it == accessible_cells_.end()) {
    auto* cell = new ColumnListCell(const_cast<ColumnListView*>(this), row);
    it = accessible_cells_.insert(row, QAccessible::registerAccessibleInterface(cell));
  }
  return QAccessible::accessibleInterface(it.value());
}

void ColumnListView::ForgetAccessibleCells() {
  for (QAccessible::Id id : std::as_const(accessible_cells_))
    QAccessible::deleteAccessibleInterface(id);
  accessible_cells_.clear();
}

// Rows that come and go one by one (a file made or deleted by another program) move every entry
// after them into other columns: the columns are laid out and painted again.
void ColumnListView::rowsInserted(const QModelIndex& parent, int start, int end) {
  ForgetAccessibleCells();
  QAbstractItemView::rowsInserted(parent, start, end);
  scheduleDelayedItemsLayout();
}

void ColumnListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  ForgetAccessibleCells();
  QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
  scheduleDelayedItemsLayout();
}

int ColumnListView::Count() const {
  return model() == nullptr ? 0 : model()->rowCount(rootIndex());
}

int ColumnListView::LineHeight() const {
  return fontMetrics().height() + 2;
}

int ColumnListView::ColumnWidth() const {
  return std::max(1, viewport()->width() / columns_);
}

QModelIndex ColumnListView::Item(int row) const {
  return row < 0 ? QModelIndex() : model()->index(row, 0, rootIndex());
}

ui::ColumnLayout ColumnListView::Layout() const {
  ui::ColumnLayout layout;
  layout.count = Count();
  layout.lines = std::max(1, viewport()->height() / LineHeight());
  layout.shown_columns = columns_;
  return layout;
}

int ColumnListView::FirstColumn() const {
  return horizontalScrollBar()->value();
}

int ColumnListView::horizontalOffset() const {
  return FirstColumn() * ColumnWidth();
}

QRect ColumnListView::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.parent() != rootIndex() || index.row() >= Count()) return {};
  const ui::ColumnLayout layout = Layout();
  const int width = ColumnWidth();
  return QRect(layout.ColumnOf(index.row()) * width - horizontalOffset(),
               layout.LineOf(index.row()) * LineHeight(), width, LineHeight());
}

QModelIndex ColumnListView::indexAt(const QPoint& point) const {
  if (point.x() < 0 || point.y() < 0) return {};
  const ui::ColumnLayout layout = Layout();
  const int column = (point.x() + horizontalOffset()) / ColumnWidth();
  return Item(layout.ItemAt(column, point.y() / LineHeight()));
}

int ColumnListView::NearestItem(const QPoint& point) const {
  const ui::ColumnLayout layout = Layout();
  const int column = std::clamp((point.x() + horizontalOffset()) / ColumnWidth(), 0,
                                std::max(0, layout.Columns() - 1));
  const int line = std::clamp(point.y() / LineHeight(), 0, layout.lines - 1);
  return std::min(column * layout.lines + line, layout.count - 1);
}

void ColumnListView::reset() {
  ForgetAccessibleCells();
  QAbstractItemView::reset();
  horizontalScrollBar()->setValue(0);
}

void ColumnListView::scrollTo(const QModelIndex& index, ScrollHint) {
  if (!index.isValid() || index.parent() != rootIndex()) return;
  horizontalScrollBar()->setValue(Layout().FirstColumnShowing(index.row(), FirstColumn()));
}

QModelIndex ColumnListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
  const ui::ColumnLayout layout = Layout();
  if (layout.count == 0) return {};
  const QModelIndex current = currentIndex();
  ui::CursorMove move;
  switch (action) {
    case MoveUp:
    case MovePrevious:
      move = ui::CursorMove::kUp;
      break;
    case MoveDown:
    case MoveNext:
      move = ui::CursorMove::kDown;
      break;
    case MoveLeft:
      move = ui::CursorMove::kLeft;
      break;
    case MoveRight:
      move = ui::CursorMove::kRight;
      break;
    case MovePageUp:
      move = ui::CursorMove::kPageUp;
      break;
    case MovePageDown:
      move = ui::CursorMove::kPageDown;
      break;
    case MoveHome:
      move = ui::CursorMove::kHome;
      break;
    case MoveEnd:
      move = ui::CursorMove::kEnd;
      break;
    default:
      return current;
  }
  // Without a current entry every key starts at the first entry, End at the last.
  if (!current.isValid()) return Item(move == ui::CursorMove::kEnd ? layout.count - 1 : 0);
  return Item(layout.Move(current.row(), move));
}

void ColumnListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  QItemSelection selection;
  if (Count() > 0) {
    int from = -1, to = -1;
    if (rect.width() <= 1 && rect.height() <= 1) {
      from = to = indexAt(rect.topLeft()).row();
    } else {
      // The item view hands over a rectangle between the start of the range and its end. The
      // corner nearest the anchor is the start, so the range runs to the opposite corner.
      const QPoint corners[4] = {rect.topLeft(), rect.topRight(), rect.bottomLeft(),
                                 rect.bottomRight()};
      int near = 0;
      if (anchor_.isValid()) {
        const QPoint start = visualRect(anchor_).center();
        for (int i = 1; i < 4; ++i) {
          if ((corners[i] - start).manhattanLength() < (corners[near] - start).manhattanLength())
            near = i;
        }
        from = anchor_.row();
      } else {
        from = NearestItem(corners[near]);
      }
      to = NearestItem(corners[3 - near]);
    }
    if (from >= 0 && to >= 0) selection.select(Item(std::min(from, to)), Item(std::max(from, to)));
  }
  selectionModel()->select(selection, command);
}

QRegion ColumnListView::visualRegionForSelection(const QItemSelection& selection) const {
  const ui::ColumnLayout layout = Layout();
  const int first_shown = FirstColumn() * layout.lines;
  const int last_shown = std::min(layout.count, (FirstColumn() + columns_ + 1) * layout.lines) - 1;
  QRegion region;
  for (const QItemSelectionRange& range : selection) {
    if (range.parent() != rootIndex()) continue;
    for (int row = std::max(range.top(), first_shown); row <= std::min(range.bottom(), last_shown);
         ++row) {
      region += visualRect(Item(row));
    }
  }
  return region;
}

void ColumnListView::updateGeometries() {
  QAbstractItemView::updateGeometries();
  const ui::ColumnLayout layout = Layout();
  QScrollBar* bar = horizontalScrollBar();
  // When the height changes, the entry at the top left stays in view.
  int first = bar->value();
  if (laid_out_lines_ > 0 && laid_out_lines_ != layout.lines) {
    first = layout.FirstColumnKeeping(first * laid_out_lines_);
  }
  laid_out_lines_ = layout.lines;
  bar->setPageStep(columns_);
  bar->setRange(0, layout.LastFirstColumn());
  bar->setValue(first);
}

void ColumnListView::scrollContentsBy(int, int) {
  // Scrolling moves whole columns, and a column's width need not divide the view evenly.
  viewport()->update();
}

void ColumnListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // A key without Shift, or a change made by the program, starts a new range.
  if (!keep_anchor_) anchor_ = current;
  QAbstractItemView::currentChanged(current, previous);
  if (QAccessible::isActive() && current.isValid() && hasFocus()) {
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(current.row());
    QAccessible::updateAccessibility(&focus);
  }
}

void ColumnListView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
  QAbstractItemView::selectionChanged(selected, deselected);
  if (!QAccessible::isActive()) return;
  // A screen reader hears of a change of one entry; a range tells only that the selection moved.
  const bool one = selected.size() == 1 && selected.front().height() == 1 && deselected.isEmpty();
  QAccessibleEvent event(this, one ? QAccessible::SelectionAdd : QAccessible::SelectionWithin);
  if (one) event.setChild(selected.front().top());
  QAccessible::updateAccessibility(&event);
}

void ColumnListView::mousePressEvent(QMouseEvent* event) {
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = indexAt(event->position().toPoint());
  keep_anchor_ = true;
  QAbstractItemView::mousePressEvent(event);
  keep_anchor_ = false;
}

void ColumnListView::mouseMoveEvent(QMouseEvent* event) {
  keep_anchor_ = event->buttons() != Qt::NoButton;
  QAbstractItemView::mouseMoveEvent(event);
  keep_anchor_ = false;
}

void ColumnListView::keyPressEvent(QKeyEvent* event) {
  keep_anchor_ = (event->modifiers() & Qt::ShiftModifier) != 0;
  QAbstractItemView::keyPressEvent(event);
  keep_anchor_ = false;
}

void ColumnListView::wheelEvent(QWheelEvent* event) {
  // The list scrolls only sideways, so the usual wheel turns it too: a notch to a column.
  const QPoint delta = event->angleDelta();
  wheel_rest_ += delta.y() != 0 ? delta.y() : delta.x();
  const int columns = wheel_rest_ / 120;
  wheel_rest_ -= columns * 120;
  if (columns != 0) horizontalScrollBar()->setValue(FirstColumn() - columns);
  event->accept();
}

void ColumnListView::changeEvent(QEvent* event) {
  QAbstractItemView::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateGeometries();
}

void ColumnListView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const ui::ColumnLayout layout = Layout();
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QStyle::State base_state = option.state;
  const QModelIndex current = currentIndex();
  const bool focus = hasFocus() || viewport()->hasFocus();
  // Only the columns in view are painted: the first, the next, and a part of one more.
  const int first = FirstColumn() * layout.lines;
  const int end = std::min(layout.count, (FirstColumn() + columns_ + 1) * layout.lines);
  for (int row = first; row < end; ++row) {
    const QModelIndex index = Item(row);
    option.rect = visualRect(index);
    if (!event->rect().intersects(option.rect)) continue;
    option.state = base_state;
    if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
    if (focus && index == current) option.state |= QStyle::State_HasFocus;
    itemDelegateForIndex(index)->paint(&painter, option, index);
  }
}
