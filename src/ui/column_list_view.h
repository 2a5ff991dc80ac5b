#pragma once

// A list view that lays its entries out in newspaper columns, two to the width of the view:
// down the first column, then the second, scrolling sideways a column at a time for more.
// Every entry has the same height, so the layout is arithmetic and a million entries cost no
// more than a dozen.

#include <QAbstractItemView>
#include <QAccessible>
#include <QHash>
#include <QPersistentModelIndex>

#include "ui/column_layout_rules.h"

class ColumnListView : public QAbstractItemView {
  Q_OBJECT

 public:
  explicit ColumnListView(QWidget* parent = nullptr, int columns = 2);
  ~ColumnListView() override;

  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;
  // A new list starts at its first column.
  void reset() override;

  // The layout at the view's present size.
  ui::ColumnLayout Layout() const;
  // The leftmost column in view.
  int FirstColumn() const;

  // The number of entries and the index of one, for the accessibility bus.
  int EntryCount() const { return Count(); }
  QModelIndex Entry(int row) const { return Item(row); }
  // The accessible child of one entry, made once and kept until the entries change.
  QAccessibleInterface* AccessibleCell(int row) const;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override { return 0; }
  bool isIndexHidden(const QModelIndex&) const override { return false; }
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void updateGeometries() override;
  void scrollContentsBy(int dx, int dy) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int Count() const;
  int LineHeight() const;
  int ColumnWidth() const;
  QModelIndex Item(int row) const;
  // The entry nearest to a point of the viewport, for the ends of a dragged range.
  int NearestItem(const QPoint& point) const;
  // Drops the accessible children: their rows no longer name the same entries.
  void ForgetAccessibleCells();

  int columns_;
  int laid_out_lines_ = 0;    // lines per column at the last layout
  int wheel_rest_ = 0;        // wheel movement not yet worth a column
  bool keep_anchor_ = false;  // while a click, a drag or a Shift key extends the range
  // Where a range selection starts: the entry last clicked or reached without Shift.
  QPersistentModelIndex anchor_;
  mutable QHash<int, QAccessible::Id> accessible_cells_;
};
