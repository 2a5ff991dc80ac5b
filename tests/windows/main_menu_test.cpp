// The main window's menu table: every entry is built where the table puts it, with its object
// name, its caption in the chosen language and its shortcut.

#include <QAction>
#include <QMenu>

#include "app/main_menu.h"
#include "app/main_window.h"
#include "support/window_fixture.h"

namespace {

class MainMenuTest : public WindowTest {};

TEST_F(MainMenuTest, EveryEntryIsBuiltInItsMenuWithItsCaptionAndShortcut) {
  UseTestLanguage();
  CreateApp();
  TForm1& form = *app->Form1;
  for (const app::MainMenuEntry& entry : app::MainMenuEntries()) {
    SCOPED_TRACE(entry.name);
    QString expected =
        entry.entry == 0 ? QString(entry.caption) : "E" + QString::number(entry.entry);
    if (entry.tail == app::CaptionTail::kEllipsis) expected += "...";
    if (entry.tail == app::CaptionTail::kFileMask) expected += " *.*";
    QAction* shown = nullptr;
    if (entry.menu != nullptr) {
      QMenu* menu = form.*entry.menu;
      ASSERT_NE(menu, nullptr);
      EXPECT_EQ(menu->objectName(), entry.name);
      EXPECT_EQ(menu->title(), expected);
      shown = menu->menuAction();
    } else {
      shown = form.findChild<QAction*>(entry.name);
      ASSERT_NE(shown, nullptr);
      if (entry.action != nullptr) {
        EXPECT_EQ(form.*entry.action, shown);
      }
      if (entry.kind != app::MenuKind::kSeparator) {
        EXPECT_EQ(shown->text(), expected);
      }
      EXPECT_EQ(shown->shortcut(), QKeySequence(entry.shortcut));
      EXPECT_EQ(shown->isCheckable(), entry.kind == app::MenuKind::kToggle);
    }
    if (entry.in != nullptr) {
      EXPECT_TRUE((form.*entry.in)->actions().contains(shown));
    }
  }
}

}  // namespace
