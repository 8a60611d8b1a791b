// For the code that Highway compiles for each instruction set and picks among as it runs.
#pragma once

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdint>

namespace quobrel::testing {

// Runs `check` once for each instruction set Highway has code for that this machine runs,
// as machines without the best of them would.
template <class Check>
void ForEachInstructionSet(Check check) {
  struct Restore {
    ~Restore() { hwy::SetSupportedTargetsForTest(0); }
  } restore;
  for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
    SCOPED_TRACE(hwy::TargetName(target));
    hwy::SetSupportedTargetsForTest(target);
    check();
  }
}

}  // namespace quobrel::testing
