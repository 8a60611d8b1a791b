#include <QApplication>

#include <csignal>

#include "app/event_pump.h"
#include "app/quobrel_main.h"
#include "batch/allocator_tuning.h"

int main(int argc, char** argv) {
  // A file size limit fails the write of that file, reported on its status line, instead
  // of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  quobrel::TuneAllocatorForStreams();
  QApplication application(argc, argv);
  quobrel::InstallEventPump();
  quobrel::QuobrelMain window;
  window.show();
  return application.exec();
}
