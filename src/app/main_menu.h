#pragma once

// The main window's menus as one table: each entry's object name, caption, handler and
// shortcut. The table builds the menus and, once the language is read, sets their captions.

#include <QString>
#include <span>

class App;
class QAction;
class QMenu;
class TForm1;

namespace app {

enum class MenuKind {
  kBarMenu,    // a menu on the menu bar
  kSubMenu,    // a menu inside another menu
  kPopup,      // a menu of its own, shown on a right click
  kItem,       // an item that runs its handler
  kToggle,     // a checkable item whose handler sets the check mark itself
  kGoEntry,    // an item that hands "go(<caption>)" to the console
  kSeparator,  // a line between items
};

// What follows the language entry's text in a caption.
enum class CaptionTail { kNone, kEllipsis, kFileMask };

struct MainMenuEntry {
  MenuKind kind;
  // The object name; the member below that keeps the menu or item has the same name.
  const char* name;
  // The menu it is in; nullptr for menus on the bar and popups.
  QMenu* TForm1::*in = nullptr;
  QMenu* TForm1::*menu = nullptr;
  QAction* TForm1::*action = nullptr;
  // The caption until the language is read, and for good when `entry` is 0.
  const char* caption = "";
  int entry = 0;
  CaptionTail tail = CaptionTail::kNone;
  void (TForm1::*handler)() = nullptr;
  const char* shortcut = "";
};

// Every menu, item and separator of the main window, in the order they are shown.
std::span<const MainMenuEntry> MainMenuEntries();

// Makes the menus and items of the table and keeps them in the window's members.
void BuildMainMenus(TForm1& form, App& app);

// The caption an entry shows in the current language.
QString MainMenuCaption(const MainMenuEntry& entry, const App& app);

// Sets the captions of every entry that has a language entry.
void SetMainMenuCaptions(TForm1& form, const App& app);

// Sets the caption of the one item kept in `item`.
void SetMainMenuCaption(TForm1& form, const App& app, QAction* TForm1::*item);

}  // namespace app
