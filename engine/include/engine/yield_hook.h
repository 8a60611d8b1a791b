// The engine's yield points. A long scan hands the caller its owed yields so that a
// window can keep its event loop turning; with no hook installed nothing is called.
#pragma once

#include <cstddef>
#include <functional>

namespace quobrel::convert {

// Receives a number of yields owed: one per character for the character conversions,
// one per search for ReplaceAll. Called at least once per block of characters scanned
// (possibly with 0 owed, so that a long search without a match still yields).
using YieldHook = std::function<void(std::size_t owed)>;

// Installs `hook` for every later engine call on this thread; an empty hook removes it.
void SetYieldHook(YieldHook hook);

// Installs a hook for the lifetime of the object and then puts the previous one back.
class ScopedYieldHook {
 public:
  explicit ScopedYieldHook(YieldHook hook);
  ~ScopedYieldHook();
  ScopedYieldHook(const ScopedYieldHook&) = delete;
  ScopedYieldHook& operator=(const ScopedYieldHook&) = delete;

 private:
  YieldHook previous_;
};

}  // namespace quobrel::convert
