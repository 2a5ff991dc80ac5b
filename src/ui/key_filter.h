#pragma once

// Hands the key presses of one control to a handler that tells whether it used the key; used
// keys go no further, the others keep their ordinary effect.

#include <QObject>
#include <functional>

class KeyFilter : public QObject {
 public:
  // Watches `control` for its lifetime; `handler` gets each pressed key's code.
  KeyFilter(QObject* control, std::function<bool(int key)> handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool(int)> handler_;
};
