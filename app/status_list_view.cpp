#include "status_list_view.h"

#include "event_pump.h"
#include "file_tab.h"

namespace quobrel {

void StatusListView::SetStatusLine(std::size_t index, const std::u16string& line) {
  status_->item(static_cast<int>(index))->setText(QString::fromStdU16String(line));
}

std::optional<std::u16string> StatusListView::OutputFolder() {
  // A folder is chosen once the label no longer shows the prompt.
  const QString folder = outputLabel_->text();
  if (!outputCheck_->isChecked() || folder == QString::fromUtf8(kOutputFolderPrompt))
    return std::nullopt;
  return folder.toStdU16String();
}

void StatusListView::Yield() { PumpEvents(); }

}  // namespace quobrel
