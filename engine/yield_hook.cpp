#include "engine/yield_hook.h"

#include <utility>

#include "engine/internal/yield_meter.h"

namespace quobrel::convert {
namespace {

YieldHook& InstalledHook() {
  static YieldHook hook;
  return hook;
}

}  // namespace

void SetYieldHook(YieldHook hook) { InstalledHook() = std::move(hook); }

ScopedYieldHook::ScopedYieldHook(YieldHook hook)
    : previous_(std::exchange(InstalledHook(), std::move(hook))) {}

ScopedYieldHook::~ScopedYieldHook() { InstalledHook() = std::move(previous_); }

YieldMeter::YieldMeter() : hook_(InstalledHook()) {}

}  // namespace quobrel::convert
