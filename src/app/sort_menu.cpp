// The View menu's choice of the file list's order, remembered in config.ini.

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/app.h"
#include "app/main_window.h"

void TForm1::BuildSortMenu() {
  mnuSort = mnuView->addMenu("Sort by");
  mnuSort->setObjectName("mnuSort");
  auto* fields = new QActionGroup(mnuSort);
  const struct {
    const char* name;
    const char* caption;
    app::SortField field;
  } items[] = {
      {"mnuSortName", "Name", app::SortField::kName},
      {"mnuSortExtension", "Extension", app::SortField::kExtension},
      {"mnuSortSize", "Size", app::SortField::kSize},
      {"mnuSortTime", "Modification time", app::SortField::kTime},
  };
  for (const auto& item : items) {
    QAction* action = mnuSort->addAction(item.caption);
    action->setObjectName(item.name);
    action->setCheckable(true);
    fields->addAction(action);
    const app::SortField field = item.field;
    connect(action, &QAction::triggered, this, [this, field] {
      app_.Guarded([&] { SetListOrder({field, list_order_.descending}); });
    });
    sort_field_items_.push_back({action, field});
  }
  mnuSort->addSeparator();
  mnuSortDescending = mnuSort->addAction("Descending");
  mnuSortDescending->setObjectName("mnuSortDescending");
  mnuSortDescending->setCheckable(true);
  connect(mnuSortDescending, &QAction::triggered, this, [this](bool checked) {
    app_.Guarded([&] { SetListOrder({list_order_.field, checked}); });
  });
}

void TForm1::ShowListOrder() {
  for (const auto& [action, field] : sort_field_items_) {
    action->setChecked(field == list_order_.field);
  }
  mnuSortDescending->setChecked(list_order_.descending);
}

void TForm1::SetListOrder(app::SortOrder order) {
  list_order_ = order;
  ShowListOrder();
  app_.Settings().Write(config::keys::kSortOrder, app::FormatSortOrder(order));
  // Listed again, as F5 does: the size and time orders need what the listing reads.
  ScanDirectory1Click();
}
