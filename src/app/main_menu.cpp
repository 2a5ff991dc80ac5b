#include "app/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/app.h"
#include "app/main_window.h"
#include "ui/byte_text.h"
#include "ui/guarded_slot.h"

namespace app {
namespace {

using K = MenuKind;
using F = TForm1;

// clang-format off
const MainMenuEntry kEntries[] = {
    {.kind = K::kBarMenu, .name = "File1", .menu = &F::File1, .caption = "[FILE]", .entry = 11},
    {.kind = K::kItem, .name = "Exit1", .in = &F::File1, .action = &F::Exit1, .caption = "[EXIT]",
     .entry = 67, .handler = &F::Exit1Click, .shortcut = "Ctrl+O"},
    {.kind = K::kItem, .name = "Optionz1", .in = &F::File1, .action = &F::Optionz1,
     .caption = "[OPTIONZ]", .entry = 15, .handler = &F::Optionz1Click},
    {.kind = K::kSubMenu, .name = "FAVAPPS1", .in = &F::File1, .menu = &F::FAVAPPS1,
     .caption = "[FAVAPPS]", .entry = 98},
    {.kind = K::kSeparator, .name = "N4", .in = &F::FAVAPPS1, .action = &F::N4},
    {.kind = K::kItem, .name = "Default1", .in = &F::FAVAPPS1, .action = &F::Default1,
     .caption = "Add...", .entry = 40, .tail = CaptionTail::kEllipsis,
     .handler = &F::Default1Click},

    {.kind = K::kBarMenu, .name = "mnuView", .menu = &F::mnuView, .caption = "[VIEW]",
     .entry = 12},
    {.kind = K::kToggle, .name = "DIRTREE1", .in = &F::mnuView, .action = &F::DIRTREE1,
     .caption = "[DIRTREE]", .entry = 17, .handler = &F::DIRTREE1Click},
    {.kind = K::kToggle, .name = "SHOWBOOKMARKS1", .in = &F::mnuView,
     .action = &F::SHOWBOOKMARKS1, .caption = "[SHOW BOOKMARKS]", .entry = 16,
     .handler = &F::SHOWBOOKMARKS1Click},

    {.kind = K::kBarMenu, .name = "Operations1", .menu = &F::Operations1, .caption = "[OPERS]",
     .entry = 18},
    {.kind = K::kItem, .name = "ScanDirectory1", .in = &F::Operations1,
     .action = &F::ScanDirectory1, .caption = "[SKADIR]", .handler = &F::ScanDirectory1Click},
    {.kind = K::kItem, .name = "Undo1", .in = &F::Operations1, .action = &F::Undo1,
     .caption = "Undo", .handler = &F::Undo1Click, .shortcut = "Ctrl+Z"},
    {.kind = K::kItem, .name = "Delete1", .in = &F::Operations1, .action = &F::Delete1,
     .caption = "[DELTHISF]", .entry = 20, .handler = &F::Delete1Click},
    {.kind = K::kItem, .name = "DeleteForEver1", .in = &F::Operations1,
     .action = &F::DeleteForEver1, .caption = "Delete for ever",
     .handler = &F::DeleteForEver1Click, .shortcut = "Shift+Del"},
    {.kind = K::kItem, .name = "DeleteAll1", .in = &F::Operations1, .action = &F::DeleteAll1,
     .caption = "[DELALLF]", .entry = 21, .handler = &F::DeleteAll1Click},
    {.kind = K::kItem, .name = "CreateEmptyFile1", .in = &F::Operations1,
     .action = &F::CreateEmptyFile1, .caption = "[CREATEF]", .entry = 22,
     .handler = &F::CreateEmptyFile1Click, .shortcut = "Ctrl+N"},
    {.kind = K::kItem, .name = "Mask1", .in = &F::Operations1, .action = &F::Mask1,
     .caption = "[MASK]", .entry = 23, .tail = CaptionTail::kFileMask,
     .handler = &F::Mask1Click},
    {.kind = K::kItem, .name = "Rename1", .in = &F::Operations1, .action = &F::Rename1,
     .caption = "[RENAME]", .entry = 24, .handler = &F::Rename1Click},
    {.kind = K::kItem, .name = "BatchRename1", .in = &F::Operations1, .action = &F::BatchRename1,
     .caption = "[BRENAME]", .entry = 25, .handler = &F::BatchRename1Click,
     .shortcut = "Ctrl+B"},
    {.kind = K::kItem, .name = "HTMLLIST1", .in = &F::Operations1, .action = &F::HTMLLIST1,
     .caption = "[HTMLLIST]", .entry = 26, .handler = &F::HTMLLIST1Click},
    {.kind = K::kItem, .name = "LISTING1", .in = &F::Operations1, .action = &F::LISTING1,
     .caption = "[LISTING]", .entry = 64, .handler = &F::LISTING1Click},
    {.kind = K::kItem, .name = "ViewAsHex1", .in = &F::Operations1, .action = &F::ViewAsHex1,
     .caption = "[ViewAsHex]", .entry = 27, .handler = &F::ViewAsHex1Click},
    {.kind = K::kItem, .name = "SEARCH1", .in = &F::Operations1, .action = &F::SEARCH1,
     .caption = "[SEARCH]", .entry = 83, .handler = &F::SEARCH1Click, .shortcut = "Ctrl+F"},
    {.kind = K::kSeparator, .name = "N2", .in = &F::Operations1},
    {.kind = K::kSubMenu, .name = "BOOKMARKSG1", .in = &F::Operations1, .menu = &F::BOOKMARKSG1,
     .caption = "[BOOKMARKSG]", .entry = 28},
    {.kind = K::kItem, .name = "BOOKMARKS1", .in = &F::BOOKMARKSG1, .action = &F::BOOKMARKS1,
     .caption = "[BOOKMARKSSHOW]", .entry = 29, .handler = &F::BOOKMARKS1Click},
    {.kind = K::kItem, .name = "ADDBOOKMARK1", .in = &F::BOOKMARKSG1, .action = &F::ADDBOOKMARK1,
     .caption = "[ADDBOOKMARK]", .entry = 30, .handler = &F::ADDBOOKMARK1Click},
    {.kind = K::kSeparator, .name = "N1", .in = &F::Operations1},
    {.kind = K::kItem, .name = "mnuConsole", .in = &F::Operations1, .action = &F::mnuConsole,
     .caption = "[CONSOLE]", .entry = 84, .handler = &F::mnuConsoleClick, .shortcut = "Ctrl+L"},
    {.kind = K::kSubMenu, .name = "Go1", .in = &F::Operations1, .menu = &F::Go1, .caption = "Go"},
    {.kind = K::kGoEntry, .name = "scandisk1", .in = &F::Go1, .caption = "chkdsk"},
    {.kind = K::kGoEntry, .name = "calc1", .in = &F::Go1, .caption = "calc"},
    {.kind = K::kGoEntry, .name = "command1", .in = &F::Go1, .caption = "command"},
    {.kind = K::kGoEntry, .name = "debug1", .in = &F::Go1, .caption = "debug"},
    {.kind = K::kGoEntry, .name = "iexplore1", .in = &F::Go1, .caption = "iexplore"},
    {.kind = K::kGoEntry, .name = "mspaint1", .in = &F::Go1, .caption = "mspaint"},
    {.kind = K::kGoEntry, .name = "notepad1", .in = &F::Go1, .caption = "notepad"},
    {.kind = K::kGoEntry, .name = "regedit1", .in = &F::Go1, .caption = "regedit"},

    {.kind = K::kBarMenu, .name = "SELECTION1", .menu = &F::SELECTION1,
     .caption = "[SELECTION]", .entry = 13},
    {.kind = K::kItem, .name = "SELECTALL1", .in = &F::SELECTION1, .action = &F::SELECTALL1,
     .caption = "[SELECTALL]", .entry = 31, .handler = &F::SELECTALL1Click,
     .shortcut = "Ctrl+A"},
    {.kind = K::kItem, .name = "Deselect1", .in = &F::SELECTION1, .action = &F::Deselect1,
     .caption = "[DESELECT]", .entry = 32, .handler = &F::Deselect1Click, .shortcut = "Ctrl+D"},
    {.kind = K::kItem, .name = "REMOVECURSOR1", .in = &F::SELECTION1,
     .action = &F::REMOVECURSOR1, .caption = "[REMOVECURSOR]", .entry = 33,
     .handler = &F::REMOVECURSOR1Click},

    {.kind = K::kBarMenu, .name = "Info1", .menu = &F::Info1, .caption = "[INFO]", .entry = 14},
    {.kind = K::kItem, .name = "About1", .in = &F::Info1, .action = &F::About1,
     .caption = "[ABOUT]", .entry = 34, .handler = &F::About1Click},
    {.kind = K::kItem, .name = "Help1", .in = &F::Info1, .action = &F::Help1,
     .caption = "[HELP]", .entry = 35, .handler = &F::Help1Click, .shortcut = "F1"},
    {.kind = K::kItem, .name = "pDELELOPERLOG1", .in = &F::Info1, .action = &F::pDELELOPERLOG1,
     .caption = "[DELELOPERLOG]", .entry = 36, .handler = &F::pDELELOPERLOG1Click},

    {.kind = K::kPopup, .name = "FileListPop", .menu = &F::FileListPop},
    {.kind = K::kItem, .name = "mnuListViewHex", .in = &F::FileListPop,
     .action = &F::mnuListViewHex, .caption = "[VIEWASHEX]", .entry = 27,
     .handler = &F::ViewAsHex1Click},
    {.kind = K::kItem, .name = "mnuViewAsText", .in = &F::FileListPop,
     .action = &F::mnuViewAsText, .caption = "[VIEWASTEXT]", .entry = 86,
     .handler = &F::mnuViewAsTextClick},
    {.kind = K::kSeparator, .name = "N3", .in = &F::FileListPop},
    {.kind = K::kItem, .name = "mnuCopyFile", .in = &F::FileListPop, .action = &F::mnuCopyFile,
     .caption = "[COPY]", .entry = 91, .handler = &F::mnuCopyFileClick},
    {.kind = K::kItem, .name = "DELETE2", .in = &F::FileListPop, .action = &F::DELETE2,
     .caption = "[DELETE]", .entry = 20, .handler = &F::Delete1Click},
};
// clang-format on

QMenu* AddMenu(TForm1& form, const MainMenuEntry& entry) {
  if (entry.kind == MenuKind::kPopup) return new QMenu(&form);
  if (entry.kind == MenuKind::kBarMenu) return form.menuBar()->addMenu(entry.caption);
  return (form.*entry.in)->addMenu(entry.caption);
}

QAction* AddAction(TForm1& form, App& app, const MainMenuEntry& entry) {
  QMenu* in = form.*entry.in;
  if (entry.kind == MenuKind::kSeparator) return in->addSeparator();
  QAction* action = in->addAction(entry.caption);
  const QKeySequence shortcut(entry.shortcut);
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
  }
  switch (entry.kind) {
    case MenuKind::kToggle: {
      // The handler flips the check mark itself, so the menu's own flip is undone first.
      action->setCheckable(true);
      const auto slot = ui::GuardedSlot(app, &form, entry.handler);
      QObject::connect(action, &QAction::triggered, &form, [action, slot](bool checked) {
        action->setChecked(!checked);
        slot();
      });
      break;
    }
    case MenuKind::kGoEntry: {
      const char* program = entry.caption;
      QObject::connect(action, &QAction::triggered, &form, [&app, &form, program] {
        app.Guarded([&] { form.GoEntryClick(program); });
      });
      break;
    }
    default:
      QObject::connect(action, &QAction::triggered, &form,
                       ui::GuardedSlot(app, &form, entry.handler));
  }
  return action;
}

}  // namespace

std::span<const MainMenuEntry> MainMenuEntries() {
  return kEntries;
}

void BuildMainMenus(TForm1& form, App& app) {
  for (const MainMenuEntry& entry : kEntries) {
    const bool is_menu = entry.kind == MenuKind::kBarMenu || entry.kind == MenuKind::kSubMenu ||
                         entry.kind == MenuKind::kPopup;
    if (is_menu) {
      QMenu* menu = AddMenu(form, entry);
      menu->setObjectName(entry.name);
      form.*entry.menu = menu;
    } else {
      QAction* action = AddAction(form, app, entry);
      action->setObjectName(entry.name);
      if (entry.action != nullptr) form.*entry.action = action;
    }
  }
}

QString MainMenuCaption(const MainMenuEntry& entry, const App& app) {
  if (entry.entry == 0) return entry.caption;
  const QString text = app.Str(entry.entry);
  switch (entry.tail) {
    case CaptionTail::kEllipsis:
      return text + "...";
    case CaptionTail::kFileMask:
      return text + " " + BytesToText(app.FileMask);
    case CaptionTail::kNone:
      break;
  }
  return text;
}

void SetMainMenuCaptions(TForm1& form, const App& app) {
  for (const MainMenuEntry& entry : kEntries) {
    if (entry.entry == 0) continue;
    if (entry.menu != nullptr) {
      (form.*entry.menu)->setTitle(MainMenuCaption(entry, app));
    } else {
      (form.*entry.action)->setText(MainMenuCaption(entry, app));
    }
  }
}

void SetMainMenuCaption(TForm1& form, const App& app, QAction* TForm1::*item) {
  for (const MainMenuEntry& entry : kEntries) {
    if (entry.action == item) (form.*item)->setText(MainMenuCaption(entry, app));
  }
}

}  // namespace app
