#pragma once

// A list view that lays its entries out in newspaper columns, two to the width of the view:
// down the first column, then the second, scrolling sideways for more.

#include <QListView>

class ColumnListView : public QListView {
 public:
  explicit ColumnListView(QWidget* parent = nullptr, int columns = 2);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateGrid();
  int columns_;
};
