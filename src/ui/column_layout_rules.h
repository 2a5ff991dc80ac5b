#pragma once

// Where the entries of a list stand when it is laid out in newspaper columns: down the first
// column, then down the next, with a fixed number of lines to each column and a fixed number of
// columns in view. The view scrolls sideways by whole columns.

namespace ui {

// The keys that move the current entry.
enum class CursorMove { kUp, kDown, kLeft, kRight, kPageUp, kPageDown, kHome, kEnd };

struct ColumnLayout {
  int count = 0;          // entries in the list
  int lines = 1;          // entries to a column, at least 1
  int shown_columns = 2;  // whole columns in view at once, at least 1

  // Columns needed for every entry.
  int Columns() const;
  int ColumnOf(int item) const { return item / lines; }
  int LineOf(int item) const { return item % lines; }
  // The entry at a column and line, or -1 where there is none.
  int ItemAt(int column, int line) const;
  // The highest first column in view: the last column then stands at the right edge.
  int LastFirstColumn() const;
  // The first column in view after the least scroll that brings `item` into view from `first`.
  int FirstColumnShowing(int item, int first) const;
  // The first column that keeps `top_item` in view when the lines per column change to `lines`.
  int FirstColumnKeeping(int top_item) const;
  // Where a key takes the current entry `item`; stays within the list. -1 for an empty list.
  int Move(int item, CursorMove move) const;
};

}  // namespace ui
