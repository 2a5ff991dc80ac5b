#pragma once

// How the program's secondary windows stand among the others: above the main window, and on
// a screen.

#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>
#include <string>

class QWidget;

// Makes `window` a tool window of `owner`: the window manager keeps it above the owner, and
// it has no task bar entry of its own. Dialog windows stay dialogs (they stay above too).
void MakeToolWindowOf(QWidget* window, QWidget* owner);

// `rect` moved (and, where it is larger, shrunk) so that it lies wholly inside `area`.
QRect FitInside(const QRect& rect, const QRect& area);

// Moves a window whose frame lies partly off its screen back onto the screen, shrinking it
// where it is larger than the screen's working area.
void KeepOnScreen(QWidget* window);

// The place of a window of `size` centred over `owner` (frame rectangles).
QRect CentredOver(const QSize& size, const QRect& owner);

// Places a window the first time it opens at the place it had when the user last closed it
// (`stored`, "x,y" as PlaceText writes it); a window the program placed itself keeps its place.
// True when neither gave a place and the window is to be centred over `owner` once shown (its
// frame is known only then). `remember` gets the window's place each time it is hidden.
bool PlaceOverOwner(QWidget* window, QWidget* owner, const std::string& stored,
                    std::function<void(const std::string&)> remember);

// Moves a shown window so that its frame is centred over the owner's.
void CentreOver(QWidget* window, QWidget* owner);

// A window's place as stored in the settings: "x,y"; ParsePlace reads it back.
std::string PlaceText(const QPoint& place);
std::optional<QPoint> ParsePlace(const std::string& text);
