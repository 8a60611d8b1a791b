// Tabs 1 and 3: the drive, folder and file lists, the status list of a batch and the
// output folder, built alike.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/folder_lists.h"
#include "app/output_folder_label.h"
#include "encoding/file_text.h"

namespace quobrel {

struct FileTabNames {
  const char* filesLabel;
  const char* pattern;
  const char* drives;
  const char* folders;
  const char* files;
  const char* status;
  const char* inPlaceHelp;
  const char* refusedHelp;
  const char* outputCheck;
  const char* outputIcon;
  const char* outputLabel;
  const char* command;
  const char* exit;
  const char* encoding;
};

inline constexpr FileTabNames kConvertFileTab{
    "Label4", "Text6", "Drive1", "Dir1", "File1",    "LMPath",   "Label1",
    "Label2", "HenC1", "Image2", "LO",   "Command4", "Command3", "FileEncoding1"};
inline constexpr FileTabNames kReplaceFileTab{
    "Label13", "Text5", "Drive2", "Dir2", "File2",    "LMPath2",   "Label11",
    "Label10", "HenC2", "Image4", "LO2",  "Command9", "Command10", "FileEncoding2"};

class FileTab : public QObject {
 public:
  FileTab(QWidget* page, const FileTabNames& names);

  QLineEdit* pattern;
  DriveList* drives;
  FolderList* folders;
  FileList* files;
  QListWidget* status;  // shown exactly while a batch runs
  QCheckBox* outputCheck;
  QLabel* outputIcon;
  OutputFolderLabel* outputLabel;
  QPushButton* command;
  QPushButton* exit;
  QComboBox* encoding;  // 自動判別, or the encoding the files are in

  // How the files are read and written: the encoding chosen, or each file's own with a
  // file of ASCII only written as Shift_JIS; lines as the window has always kept them.
  FileFormat Format() const;

  // Its status list is shown: told by the list's own flag, since the whole page is
  // hidden while another tab is in front.
  bool BatchRuns() const { return !status->isHidden(); }
};

}  // namespace quobrel
