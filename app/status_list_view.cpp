#include "app/status_list_view.h"

#include <QFile>

#include "app/event_pump.h"
#include "app/file_tab.h"

namespace quobrel {

void StatusListView::SetStatusLine(std::size_t index, const StatusLine& line) {
  // File names are shown as the locale decodes them.
  status_->item(static_cast<int>(index))
      ->setText(QFile::decodeName(QByteArray::fromStdString(line.name)) +
                QString::fromStdU16String(line.message));
}

std::optional<std::filesystem::path> StatusListView::OutputFolder() {
  if (!outputCheck_->isChecked() || !outputLabel_->folder()) return std::nullopt;
  return QFile::encodeName(*outputLabel_->folder()).toStdString();
}

void StatusListView::Yield() { PumpEvents(); }

}  // namespace quobrel
