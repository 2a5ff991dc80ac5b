#include "ui/key_filter.h"

#include <QKeyEvent>

KeyFilter::KeyFilter(QObject* control, std::function<bool(int key)> handler)
    : QObject(control), handler_(std::move(handler)) {
  control->installEventFilter(this);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && handler_(static_cast<QKeyEvent*>(event)->key())) {
    return true;
  }
  return QObject::eventFilter(watched, event);
}
