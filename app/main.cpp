#include <QApplication>

#include <csignal>
#include <iostream>

#include "app/event_pump.h"
#include "app/qt_translations.h"
#include "app/quobrel_main.h"
#include "app/window_arguments.h"
#include "stream/allocator_tuning.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they need no display.
  if (const auto answer = quobrel::AnswerWithoutWindow(argc, argv)) {
    std::cout << *answer;
    return 0;
  }
  // A file size limit fails the write of that file, reported on its status line, instead
  // of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  quobrel::TuneAllocatorForStreams();
  QApplication application(argc, argv);
  // Desktops match the window to its entry (name, icon) by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(QUOBREL_APPLICATION_ID));
  quobrel::InstallQtTranslations(application);
  quobrel::InstallEventPump();
  quobrel::QuobrelMain window;
  window.show();
  return application.exec();
}
