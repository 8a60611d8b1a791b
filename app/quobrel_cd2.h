// The output-folder dialog: the chosen folder, with a trailing separator, becomes the
// caption of LO (conversion file tab) or LO2 (replacement file tab).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "folder_lists.h"
#include "output_folder_label.h"

namespace quobrel {

class TabPages;

class QuobrelCD2 : public QDialog {
 public:
  QuobrelCD2(QWidget* parent, const TabPages& SSTab1, OutputFolderLabel* LO,
             OutputFolderLabel* LO2);

  void Form_Load();
  void Drive1_Change();
  void CS_Click();
  void Command2_Click() { reject(); }

 private:
  const TabPages& SSTab1_;
  OutputFolderLabel* LO_;
  OutputFolderLabel* LO2_;
  DriveList* Drive1_;
  FolderList* Dir1_;
};

}  // namespace quobrel
