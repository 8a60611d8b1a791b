#pragma once

#include <cstddef>

#include "engine/yield_hook.h"

namespace quobrel::testing {

// Installs a hook for its lifetime and adds up what the engine owes it.
class YieldCounter {
 public:
  YieldCounter()
      : scope_([this](std::size_t owed) {
          total += owed;
          ++calls;
        }) {}
  std::size_t total = 0;
  std::size_t calls = 0;

 private:
  convert::ScopedYieldHook scope_;
};

}  // namespace quobrel::testing
