#include "app/status_list_view.h"

#include <QFile>

#include <algorithm>

#include "app/event_pump.h"
#include "app/file_tab.h"
#include "files/file_names.h"
#include "status/status_text.h"

namespace quobrel {

QString ShownName(const std::string& name) {
  // As the locale decodes it, its control characters spelt out.
  return QFile::decodeName(QByteArray::fromStdString(PrintableName(name)));
}

void StatusListView::SetStatusLine(std::size_t index, const StatusLine& line) {
  QListWidgetItem* item = status_->item(static_cast<int>(index));
  item->setText(ShownName(line.name) + QString::fromStdU16String(StatusText(line)));
  // Brought into view as its file begins, not at every step, so that the user may scroll
  // back meanwhile.
  if (line_.name.empty() || index != lineIndex_) status_->scrollToItem(item);
  const bool converting = line.status == FileStatus::Converting;
  if (converting && !(convertingSince_ && lineIndex_ == index)) convertingSince_ = now_();
  if (!converting) convertingSince_.reset();
  lineIndex_ = index;
  line_ = line;
}

void StatusListView::ShowProgress(const BatchProgress& progress) {
  using namespace std::chrono_literals;
  if (!progress.file || progress.file->index != lineIndex_ || !convertingSince_ ||
      progress.file->size == 0) {
    return;
  }
  const Clock::time_point now = now_();
  if (now - *convertingSince_ < 1s || now - shownAt_ < 250ms) return;
  shownAt_ = now;
  const std::uint64_t percent =
      std::min<std::uint64_t>(100, progress.file->read * 100 / progress.file->size);
  status_->item(static_cast<int>(lineIndex_))
      ->setText(ShownName(line_.name) + QString::fromStdU16String(StatusText(line_)) + ' ' +
                QString::number(percent) + '%');
}

std::optional<std::filesystem::path> StatusListView::OutputFolder() {
  if (!outputCheck_->isChecked() || !outputLabel_->folder()) return std::nullopt;
  return QFile::encodeName(*outputLabel_->folder()).toStdString();
}

void StatusListView::Yield() { PumpEvents(); }

}  // namespace quobrel
