#include "ui/column_list_view.h"

#include <QEvent>

ColumnListView::ColumnListView(QWidget* parent, int columns)
    : QListView(parent), columns_(columns) {
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  // Every entry has the same height, so the view never has to measure a million of them.
  setUniformItemSizes(true);
  setLayoutMode(QListView::Batched);
  UpdateGrid();
}

void ColumnListView::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  UpdateGrid();
}

void ColumnListView::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateGrid();
}

void ColumnListView::UpdateGrid() {
  const int width = std::max(40, viewport()->width() / columns_);
  const QSize grid(width, fontMetrics().height() + 2);
  if (gridSize() != grid) setGridSize(grid);
}
