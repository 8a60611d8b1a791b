#include "app/event_pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "engine/yield_hook.h"

namespace quobrel {

void PumpEvents() {
  constexpr qint64 kIntervalMs = 10;
  static QElapsedTimer sincePumped;
  if (sincePumped.isValid() && sincePumped.elapsed() < kIntervalMs) return;
  QCoreApplication::processEvents();
  sincePumped.start();
}

void InstallEventPump() {
  convert::SetYieldHook([](std::size_t) { PumpEvents(); });
}

}  // namespace quobrel
