#include "app/editor_launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace quobrel {

bool OpenInTextEditor(const QString& path) {
  QStringList command = QProcess::splitCommand(qEnvironmentVariable("QUOBREL_EDITOR"));
  if (command.isEmpty()) {
    for (const char* editor : {"gnome-text-editor", "gedit", "kwrite", "kate", "mousepad", "pluma",
                               "xed", "featherpad", "leafpad", "xdg-open"}) {
      if (!QStandardPaths::findExecutable(editor).isEmpty()) {
        command = QStringList{editor};
        break;
      }
    }
  }
  if (command.isEmpty()) return false;
  const QString program = command.takeFirst();
  return QProcess::startDetached(program, command << path);
}

}  // namespace quobrel
