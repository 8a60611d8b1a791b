// The drive, folder and file lists of the file tabs and of the output-folder dialog.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QString>
#include <QStringList>

#include <string>

#include "files/file_list_filter.h"

namespace quobrel {

// The mounted volumes, the root first.
class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent);
  QString drive() const { return currentData().toString(); }
  void setDrive(const QString& root);
};

// The folder that is open, its ancestors above it and its subfolders below; a
// double-click or Enter opens the entry. A folder that cannot be read is not opened, and
// a message box says so.
class FolderList : public QListWidget {
  Q_OBJECT
 public:
  explicit FolderList(QWidget* parent);
  QString path() const { return path_; }
  bool setPath(const QString& path);
  // Typing finds a folder by its name, past the indent that shows its depth.
  void keyboardSearch(const QString& search) override;

 signals:
  void pathChanged();

 private:
  void Open(QListWidgetItem* item);
  QString path_;
  QString typed_;
  QElapsedTimer sinceTyped_;
};

// The ordinary files of a folder that match the pattern, sorted by name, with extended
// selection. Each entry keeps the name's bytes, so a name the locale cannot decode still
// opens its file. Patterns are separated by ";" and ignore letter case; "*.*" matches every
// file, also one without a dot.
class FileList : public QListWidget, public SelectableFileList {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent);
  QString folder() const { return folder_; }
  void setFolder(const QString& folder);
  void setPattern(const QString& pattern);
  void refresh();
  // The folder with a trailing separator, as the file names are appended to it.
  QString folderWithSeparator() const;
  // The path of entry `row` as the file system names it, whatever the locale shows of it.
  std::string pathAt(int row) const;

  int EntryCount() const override { return count(); }
  std::u16string Entry(int index) const override { return item(index)->text().toStdU16String(); }
  void Deselect(int index) override { item(index)->setSelected(false); }

 private:
  QString folder_;
  QStringList patterns_{"*"};
};

// A drive list and a folder list that go together, as on the file tabs and in the
// output-folder dialog: choosing a drive opens its root in the folder list; a drive that
// cannot be read keeps the previous one, with a message.
class FolderPicker : public QObject {
 public:
  // The two lists, placed by the caller; the folder list opens the current folder.
  FolderPicker(DriveList* drives, FolderList* folders);
  DriveList* drives() const { return drives_; }
  FolderList* folders() const { return folders_; }

 private:
  void OpenDrive();
  // The drive list shows the drive of the open folder.
  void ShowDriveOfFolder();
  DriveList* drives_;
  FolderList* folders_;
};

// Says that a drive or folder cannot be read; the lists keep what they showed.
void ShowUnreadable(QWidget* parent, const QString& path);

}  // namespace quobrel
