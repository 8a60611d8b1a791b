#include <QApplication>

#include "event_pump.h"
#include "quobrel_main.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quobrel::InstallEventPump();
  quobrel::QuobrelMain window;
  window.show();
  return application.exec();
}
