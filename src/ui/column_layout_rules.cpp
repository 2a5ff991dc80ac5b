#include "ui/column_layout_rules.h"

#include <algorithm>

namespace ui {

int ColumnLayout::Columns() const {
  return count <= 0 ? 0 : (count + lines - 1) / lines;
}

int ColumnLayout::ItemAt(int column, int line) const {
  if (column < 0 || line < 0 || line >= lines) return -1;
  const long long item = static_cast<long long>(column) * lines + line;
  return item < count ? static_cast<int>(item) : -1;
}

int ColumnLayout::LastFirstColumn() const {
  return std::max(0, Columns() - shown_columns);
}

int ColumnLayout::FirstColumnShowing(int item, int first) const {
  const int column = ColumnOf(std::clamp(item, 0, std::max(0, count - 1)));
  if (column < first) first = column;
  if (column >= first + shown_columns) first = column - shown_columns + 1;
  return std::clamp(first, 0, LastFirstColumn());
}

int ColumnLayout::FirstColumnKeeping(int top_item) const {
  return std::clamp(ColumnOf(std::max(0, top_item)), 0, LastFirstColumn());
}

int ColumnLayout::Move(int item, CursorMove move) const {
  if (count <= 0) return -1;
  const int page = lines * shown_columns;
  int target = item;
  switch (move) {
    case CursorMove::kUp:
      target = item - 1;
      break;
    case CursorMove::kDown:
      target = item + 1;
      break;
    // Sideways the entry keeps its line where the next column has one, and otherwise goes
    // to the last entry, as a file manager's list view does.
    case CursorMove::kLeft:
      target = item - lines;
      break;
    case CursorMove::kRight:
      target = item + lines;
      break;
    case CursorMove::kPageUp:
      target = item - page;
      break;
    case CursorMove::kPageDown:
      target = item + page;
      break;
    case CursorMove::kHome:
      target = 0;
      break;
    case CursorMove::kEnd:
      target = count - 1;
      break;
  }
  if (move == CursorMove::kLeft && target < 0) return item;
  return std::clamp(target, 0, count - 1);
}

}  // namespace ui
