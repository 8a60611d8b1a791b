// A batch's view in the window: its status list, its output-folder controls, the event
// loop, and whether the program is ending.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

#include <functional>

#include "app/output_folder_label.h"
#include "batch/file_batch.h"

namespace quobrel {

// A file's name or path (its bytes) as the status list shows it.
QString ShownName(const std::string& name);

class StatusListView : public BatchView {
 public:
  StatusListView(QListWidget* status, const QCheckBox* outputCheck,
                 const OutputFolderLabel* outputLabel, std::function<bool()> stopping)
      : status_(status),
        outputCheck_(outputCheck),
        outputLabel_(outputLabel),
        stopping_(std::move(stopping)) {}

  void SetStatusLine(std::size_t index, const StatusLine& line) override;
  std::optional<std::filesystem::path> OutputFolder() override;
  void Yield() override;
  bool Stopping() override { return stopping_(); }

 private:
  QListWidget* status_;
  const QCheckBox* outputCheck_;
  const OutputFolderLabel* outputLabel_;
  std::function<bool()> stopping_;
};

}  // namespace quobrel
