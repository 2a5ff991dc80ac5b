#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void MakeToolWindowOf(QWidget* window, QWidget* owner) {
  Qt::WindowFlags flags = window->windowFlags();
  // A plain window with an owner is not kept above it by every window manager; a tool or a
  // dialog window is.
  if ((flags & Qt::WindowType_Mask) == Qt::Window)
    flags = (flags & ~Qt::WindowType_Mask) | Qt::Tool;
  // A place and size the window chose stay; a window without them is placed as before.
  const bool moved = window->testAttribute(Qt::WA_Moved);
  const bool resized = window->testAttribute(Qt::WA_Resized);
  const QPoint pos = window->pos();
  const QSize size = window->size();
  window->setParent(owner, flags);
  if (moved) window->move(pos);
  if (resized) window->resize(size);
}

QRect FitInside(const QRect& rect, const QRect& area) {
  const int width = std::min(rect.width(), area.width());
  const int height = std::min(rect.height(), area.height());
  const int left = std::clamp(rect.left(), area.left(), area.left() + area.width() - width);
  const int top = std::clamp(rect.top(), area.top(), area.top() + area.height() - height);
  return QRect(left, top, width, height);
}

void KeepOnScreen(QWidget* window) {
  const QRect frame = window->frameGeometry();
  QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (screen == nullptr) screen = window->screen();
  if (screen == nullptr) return;
  const QRect fitted = FitInside(frame, screen->availableGeometry());
  if (fitted.size() != frame.size())
    window->resize(window->size() - (frame.size() - fitted.size()));
  if (fitted.topLeft() != frame.topLeft()) window->move(fitted.topLeft());
}
