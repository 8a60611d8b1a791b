#pragma once

#include <cstddef>

#include "engine/yield_hook.h"

namespace quobrel::convert {

// The hook installed when an engine call starts, held for the call's duration so that a
// hook that installs another one does not pull the ground from under the scan.
class YieldMeter {
 public:
  YieldMeter();
  void Report(std::size_t owed) const {
    if (hook_) hook_(owed);
  }

 private:
  YieldHook hook_;
};

}  // namespace quobrel::convert
