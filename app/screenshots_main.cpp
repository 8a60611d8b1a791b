// Saves a picture of the window on each of its four tabs: quobrel-screenshots DIR
#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTimer>

#include "app/quobrel_main.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QDir folder(argc > 1 ? argv[1] : ".");
  quobrel::QuobrelMain window([] {});
  window.show();
  auto* tabs = window.findChild<QTabBar*>();
  for (int tab = 0; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    for (int i = 0; i < 10; ++i) application.processEvents();
    window.grab().save(folder.filePath(QString("tab%1.png").arg(tab)));
  }
  return 0;
}
