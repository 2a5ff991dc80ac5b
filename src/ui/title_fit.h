#pragma once

// Small windows and message boxes made wide enough for their whole title, measured in the
// desktop's title font, so the window manager does not cut it short ("Consol... mands").

class QMessageBox;
class QWidget;

// Widens `window` (never narrows it) to show its title whole, within its screen. Run it after
// the title is set and after anything else sizes the window.
void FitTitle(QWidget* window);

// The same for a message box, which sizes itself as it is shown: its layout gets a strut of the
// width the title needs.
void FitTitle(QMessageBox* box);

// The width `window` needs for its title, within its screen.
int TitleWidthOf(const QWidget* window);
