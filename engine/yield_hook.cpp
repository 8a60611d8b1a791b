#include "engine/yield_hook.h"

#include <utility>

#include "internal/yield_meter.h"

namespace quobrel::convert {
namespace {

// Each thread its own: only the thread that runs the window yields to it.
YieldHook& InstalledHook() {
  thread_local YieldHook hook;
  return hook;
}

}  // namespace

void SetYieldHook(YieldHook hook) { InstalledHook() = std::move(hook); }

ScopedYieldHook::ScopedYieldHook(YieldHook hook)
    : previous_(std::exchange(InstalledHook(), std::move(hook))) {}

ScopedYieldHook::~ScopedYieldHook() { InstalledHook() = std::move(previous_); }

YieldMeter::YieldMeter() : hook_(InstalledHook()) {}

}  // namespace quobrel::convert
