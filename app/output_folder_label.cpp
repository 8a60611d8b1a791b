#include "app/output_folder_label.h"

#include <QFontMetrics>

namespace quobrel {

OutputFolderLabel::OutputFolderLabel(QWidget* parent)
    : QLabel(QString::fromUtf8(kOutputFolderPrompt), parent) {}

void OutputFolderLabel::setFolder(const QString& folder) {
  folder_ = folder;
  setToolTip(folder);
  ShowFolder();
}

void OutputFolderLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ShowFolder();
}

void OutputFolderLabel::ShowFolder() {
  if (folder_) setText(fontMetrics().elidedText(*folder_, Qt::ElideMiddle, contentsRect().width()));
}

}  // namespace quobrel
