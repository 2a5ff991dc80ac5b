#pragma once

// How the program's secondary windows stand among the others: above the main window, and on
// a screen.

#include <QRect>

class QWidget;

// Makes `window` a tool window of `owner`: the window manager keeps it above the owner, and
// it has no task bar entry of its own. Dialog windows stay dialogs (they stay above too).
void MakeToolWindowOf(QWidget* window, QWidget* owner);

// `rect` moved (and, where it is larger, shrunk) so that it lies wholly inside `area`.
QRect FitInside(const QRect& rect, const QRect& area);

// Moves a window whose frame lies partly off its screen back onto the screen, shrinking it
// where it is larger than the screen's working area.
void KeepOnScreen(QWidget* window);
