#include "app/status_list_view.h"

#include <QFile>

#include "app/event_pump.h"
#include "app/file_tab.h"
#include "batch/file_names.h"

namespace quobrel {

QString ShownName(const std::string& name) {
  // As the locale decodes it, its control characters spelt out.
  return QFile::decodeName(QByteArray::fromStdString(PrintableName(name)));
}

void StatusListView::SetStatusLine(std::size_t index, const StatusLine& line) {
  status_->item(static_cast<int>(index))
      ->setText(ShownName(line.name) + QString::fromStdU16String(line.message));
}

std::optional<std::filesystem::path> StatusListView::OutputFolder() {
  if (!outputCheck_->isChecked() || !outputLabel_->folder()) return std::nullopt;
  return QFile::encodeName(*outputLabel_->folder()).toStdString();
}

void StatusListView::Yield() { PumpEvents(); }

}  // namespace quobrel
