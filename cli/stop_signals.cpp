#include "cli/stop_signals.h"

#include <signal.h>

#include <initializer_list>

namespace quobrel::cli {
namespace {

volatile sig_atomic_t caught = 0;

void Note(int signal) {
  if (caught == 0) {
    caught = signal;
    return;
  }
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

int StopSignal() { return caught; }

}  // namespace quobrel::cli
