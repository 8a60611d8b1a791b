// What the fuzz targets share: a check that stops the run.
#pragma once

#include <cstdio>

namespace quobrel {

// A mismatch stops the run as a crash, naming the check that failed.
inline void Check(bool holds, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
  if (holds) return;
  std::fprintf(stderr, "mismatch: %s:%d\n", file, line);
  __builtin_trap();
}

}  // namespace quobrel
