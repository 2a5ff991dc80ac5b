#include "ui/pump_events.h"

#include <QCoreApplication>
#include <QElapsedTimer>

void PumpEvents(bool user_input) {
  static QElapsedTimer since_last;
  constexpr qint64 kIntervalMs = 15;
  if (since_last.isValid() && since_last.elapsed() < kIntervalMs) return;
  QCoreApplication::processEvents(user_input ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
  since_last.start();
}
