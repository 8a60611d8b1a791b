#include "cli/stop_signals.h"

#include <signal.h>

#include <initializer_list>

namespace quobrel::cli {
namespace {

volatile sig_atomic_t caught = 0;

void Note(int signal) { caught = signal; }

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = Note;
  // The calls the batch makes are restarted; a user who asks again is not made to wait.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM}) ::sigaction(signal, &action, nullptr);
}

int StopSignal() { return caught; }

}  // namespace quobrel::cli
