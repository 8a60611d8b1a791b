#include "event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "yield_hook.h"

namespace quobrel {

void InstallEventPump() {
  Pembo95::SetYieldHook([timer = QElapsedTimer()](std::size_t) mutable {
    constexpr qint64 kIntervalMs = 10;
    if (timer.isValid() && timer.elapsed() < kIntervalMs) return;
    QCoreApplication::processEvents();
    timer.start();
  });
}

}  // namespace quobrel
