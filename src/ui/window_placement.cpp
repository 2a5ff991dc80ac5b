#include "ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <charconv>

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

QRect CentredOver(const QSize& size, const QRect& owner) {
  return QRect(owner.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

std::string PlaceText(const QPoint& place) {
  return std::to_string(place.x()) + "," + std::to_string(place.y());
}

std::optional<QPoint> ParsePlace(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  int x = 0, y = 0;
  const char* end = text.data() + text.size();
  const auto [x_end, x_error] = std::from_chars(text.data(), text.data() + comma, x);
  const auto [y_end, y_error] = std::from_chars(text.data() + comma + 1, end, y);
  if (x_error != std::errc() || y_error != std::errc() || x_end != text.data() + comma ||
      y_end != end)
    return std::nullopt;
  return QPoint(x, y);
}

namespace {

// Hands the window's place to the settings whenever the window is hidden.
class PlaceKeeper : public QObject {
 public:
  PlaceKeeper(QWidget* window, std::function<void(const std::string&)> remember)
      : QObject(window), window_(window), remember_(std::move(remember)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Hide && !window_->isMinimized())
      remember_(PlaceText(window_->pos()));
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* window_;
  std::function<void(const std::string&)> remember_;
};

}  // namespace

bool PlaceOverOwner(QWidget* window, QWidget* owner, const std::string& stored,
                    std::function<void(const std::string&)> remember) {
  static constexpr const char* kKept = "placeKept";
  if (!window->property(kKept).toBool()) {
    window->setProperty(kKept, true);
    new PlaceKeeper(window, std::move(remember));
  }
  if (window->testAttribute(Qt::WA_Moved)) return false;
  if (const auto place = ParsePlace(stored)) {
    window->move(*place);
    return false;
  }
  return owner != nullptr && owner->isVisible();
}

void CentreOver(QWidget* window, QWidget* owner) {
  window->move(CentredOver(window->frameGeometry().size(), owner->frameGeometry()).topLeft());
}
