#pragma once

// A window's handler wired to a signal through the error-reporting wrapper: an exception the
// handler throws becomes the wrapper's error report instead of leaving the event loop.

namespace ui {

// A slot that runs `(owner->*handler)()` inside `guard.Guarded(...)`. `guard` (the App) and
// `owner` (the window) outlive the connection, since the window owns the connected controls.
template <class Guard, class Owner>
auto GuardedSlot(Guard& guard, Owner* owner, void (Owner::*handler)()) {
  return [&guard, owner, handler] { guard.Guarded([owner, handler] { (owner->*handler)(); }); };
}

// A maker of such slots for one window: `guard(&Window::Handler)` for each of its controls.
template <class Guard, class Owner>
auto GuardedSlots(Guard& guard, Owner* owner) {
  return [&guard, owner](void (Owner::*handler)()) { return GuardedSlot(guard, owner, handler); };
}

}  // namespace ui
