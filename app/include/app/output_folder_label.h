// The label of a file tab's output folder: the prompt until a folder is chosen, then the
// folder, elided in the middle when it is longer than the label and whole in its tooltip.
#pragma once

#include <QLabel>
#include <QString>

#include <optional>

namespace quobrel {

// The caption while no output folder has been chosen.
inline constexpr const char* kOutputFolderPrompt =
    "アイコンをダブルクリックして出力フォルダを指定してください。";

class OutputFolderLabel : public QLabel {
 public:
  explicit OutputFolderLabel(QWidget* parent);
  // The folder, ending in "/".
  void setFolder(const QString& folder);
  const std::optional<QString>& folder() const { return folder_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowFolder();
  std::optional<QString> folder_;
};

}  // namespace quobrel
