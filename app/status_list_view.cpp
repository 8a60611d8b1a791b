#include "status_list_view.h"

#include <QFile>

#include "event_pump.h"
#include "file_tab.h"

namespace quobrel {

void StatusListView::SetStatusLine(std::size_t index, const StatusLine& line) {
  // File names are shown as the locale decodes them.
  status_->item(static_cast<int>(index))
      ->setText(QFile::decodeName(QByteArray::fromStdString(line.name)) +
                QString::fromStdU16String(line.message));
}

std::optional<std::filesystem::path> StatusListView::OutputFolder() {
  // A folder is chosen once the label no longer shows the prompt.
  const QString folder = outputLabel_->text();
  if (!outputCheck_->isChecked() || folder == QString::fromUtf8(kOutputFolderPrompt))
    return std::nullopt;
  return QFile::encodeName(folder).toStdString();
}

void StatusListView::Yield() { PumpEvents(); }

}  // namespace quobrel
