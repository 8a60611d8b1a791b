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

// The names the window knows a file tab's controls by, each for the control of that role.
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

inline constexpr FileTabNames kConvertFileTab{.filesLabel = "Label4",
                                              .pattern = "Text6",
                                              .drives = "Drive1",
                                              .folders = "Dir1",
                                              .files = "File1",
                                              .status = "LMPath",
                                              .inPlaceHelp = "Label1",
                                              .refusedHelp = "Label2",
                                              .outputCheck = "HenC1",
                                              .outputIcon = "Image2",
                                              .outputLabel = "LO",
                                              .command = "Command4",
                                              .exit = "Command3",
                                              .encoding = "FileEncoding1"};
inline constexpr FileTabNames kReplaceFileTab{.filesLabel = "Label13",
                                              .pattern = "Text5",
                                              .drives = "Drive2",
                                              .folders = "Dir2",
                                              .files = "File2",
                                              .status = "LMPath2",
                                              .inPlaceHelp = "Label11",
                                              .refusedHelp = "Label10",
                                              .outputCheck = "HenC2",
                                              .outputIcon = "Image4",
                                              .outputLabel = "LO2",
                                              .command = "Command9",
                                              .exit = "Command10",
                                              .encoding = "FileEncoding2"};

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
