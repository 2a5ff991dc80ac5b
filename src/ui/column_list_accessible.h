#pragma once

// How a ColumnListView shows through the accessibility bus: as a list whose children are its
// entries, each with its name and its selected and focused states, as Qt's own list view does.

#include <QAccessibleInterface>
#include <QPointer>

class ColumnListView;

// One entry of the list.
class ColumnListCell : public QAccessibleInterface {
 public:
  ColumnListCell(ColumnListView* view, int row) : view_(view), row_(row) {}

  int row() const { return row_; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;

 private:
  QPointer<ColumnListView> view_;
  int row_;
};

// Makes every ColumnListView answer the accessibility bus as a list; safe to call again.
void InstallColumnListAccessibility();
