#include "ui/column_list_accessible.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <QWindow>

#include "ui/column_list_view.h"

namespace {

class ColumnListAccessible : public QAccessibleWidget {
 public:
  explicit ColumnListAccessible(ColumnListView* view)
      : QAccessibleWidget(view, QAccessible::List) {}

  int childCount() const override { return View()->EntryCount(); }
  QAccessibleInterface* child(int index) const override { return View()->AccessibleCell(index); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* cell = dynamic_cast<const ColumnListCell*>(child);
    return cell != nullptr && cell->parent() == this ? cell->row() : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QModelIndex index = View()->indexAt(View()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const QModelIndex current = View()->currentIndex();
    return current.isValid() ? child(current.row()) : nullptr;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    const auto mode = View()->selectionMode();
    s.multiSelectable =
        mode == QAbstractItemView::MultiSelection || mode == QAbstractItemView::ExtendedSelection;
    s.extSelectable = mode == QAbstractItemView::ExtendedSelection;
    return s;
  }

 private:
  ColumnListView* View() const { return static_cast<ColumnListView*>(widget()); }
};

QAccessibleInterface* ColumnListFactory(const QString&, QObject* object) {
  if (auto* view = qobject_cast<ColumnListView*>(object)) return new ColumnListAccessible(view);
  return nullptr;
}

}  // namespace

bool ColumnListCell::isValid() const {
  return view_ != nullptr && row_ < view_->EntryCount();
}

QWindow* ColumnListCell::window() const {
  return view_ != nullptr ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* ColumnListCell::parent() const {
  return QAccessible::queryAccessibleInterface(view_.data());
}

QString ColumnListCell::text(QAccessible::Text t) const {
  if (!isValid() || t != QAccessible::Name) return {};
  return view_->Entry(row_).data(Qt::DisplayRole).toString();
}

QRect ColumnListCell::rect() const {
  if (!isValid()) return {};
  const QRect r = view_->visualRect(view_->Entry(row_));
  return QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State ColumnListCell::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  const QModelIndex index = view_->Entry(row_);
  s.selectable = true;
  s.focusable = true;
  s.selected = view_->selectionModel()->isSelected(index);
  s.focused = index == view_->currentIndex() && view_->hasFocus();
  s.invisible = !view_->viewport()->rect().intersects(view_->visualRect(index));
  return s;
}

void InstallColumnListAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(ColumnListFactory);
    return true;
  }();
  (void)installed;
}
