// A batch's view in the window: its status list, its output-folder controls, the event
// loop, and whether the program is ending.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

#include <chrono>
#include <functional>

#include "app/output_folder_label.h"
#include "batch/file_batch.h"

namespace quobrel {

// A file's name or path (its bytes) as the status list shows it.
QString ShownName(const std::string& name);

class StatusListView : public BatchView {
 public:
  using Clock = std::chrono::steady_clock;
  // `stopping`: the program is ending; `cancelled`: the user stopped the batch.
  StatusListView(QListWidget* status, const QCheckBox* outputCheck,
                 const OutputFolderLabel* outputLabel, std::function<bool()> stopping,
                 std::function<bool()> cancelled,
                 std::function<Clock::time_point()> now = &Clock::now)
      : status_(status),
        outputCheck_(outputCheck),
        outputLabel_(outputLabel),
        stopping_(std::move(stopping)),
        cancelled_(std::move(cancelled)),
        now_(std::move(now)) {}

  // Rewrites the line, and keeps it in view.
  void SetStatusLine(std::size_t index, const StatusLine& line) override;
  std::optional<std::filesystem::path> OutputFolder() override;
  void Yield() override;
  bool Stopping() override { return stopping_(); }
  bool Cancelled() override { return cancelled_(); }
  // A file that has been converting for over a second shows how far it has come, redrawn
  // at most four times a second: "memo.txt：ファイル変換中 42%".
  void ShowProgress(const BatchProgress& progress) override;

 private:
  QListWidget* status_;
  const QCheckBox* outputCheck_;
  const OutputFolderLabel* outputLabel_;
  std::function<bool()> stopping_;
  std::function<bool()> cancelled_;
  std::function<Clock::time_point()> now_;
  // The line last set, and since when its file has been converting.
  std::size_t lineIndex_ = 0;
  StatusLine line_;
  std::optional<Clock::time_point> convertingSince_;
  Clock::time_point shownAt_;
};

}  // namespace quobrel
