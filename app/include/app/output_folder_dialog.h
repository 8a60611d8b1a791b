// The output-folder dialog: the folder chosen becomes the output folder of the file tab
// in front (its label shows it).
#pragma once

#include <QDialog>

#include "app/folder_lists.h"
#include "app/output_folder_label.h"

namespace quobrel {

class OutputFolderDialog : public QDialog {
 public:
  // `label` is the output-folder label of the tab in front, or null when it is none.
  OutputFolderDialog(QWidget* parent, OutputFolderLabel* label);

 private:
  void Choose();
  OutputFolderLabel* label_;
  FolderList* folders_;
};

// Places a window in the middle of its screen.
void CentreOnScreen(QWidget* window);

}  // namespace quobrel
