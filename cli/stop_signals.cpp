#include "cli/stop_signals.h"

#include <signal.h>

#include <atomic>
#include <initializer_list>

namespace quobrel::cli {
namespace {

// Written by the handler, on whichever thread the signal finds, and read by the batch's:
// an atomic, which a handler may use for being lock-free.
std::atomic<int> caught = 0;
static_assert(std::atomic<int>::is_always_lock_free);

void Note(int signal) {
  int none = 0;
  if (caught.compare_exchange_strong(none, signal)) return;
  // Asked again: the user is not made to wait. Both calls are safe in a handler.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = Note;
  // The calls the batch makes go on where the signal found them.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction before {};
    // A run started in the background, or under nohup, keeps ignoring them.
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

int StopSignal() { return caught.load(); }

}  // namespace quobrel::cli
