#include "app/folder_lists.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

#include "app/artwork.h"
#include "files/folder_listing.h"

namespace quobrel {

void ShowUnreadable(QWidget* parent, const QString& path) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("情報"),
                  path + QStringLiteral(" を読み取ることができません。"), QMessageBox::Ok, parent);
  box.exec();
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
    return (a == "/") != (b == "/") ? a == "/" : a < b;
  });
  for (const QString& root : roots) addItem(root, root);
}

void DriveList::setDrive(const QString& root) {
  const int index = findData(root);
  if (index >= 0) setCurrentIndex(index);
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemActivated, this, &FolderList::Open);
  setPath(QDir::currentPath());
}

bool FolderList::setPath(const QString& path) {
  const QDir dir(path);
  if (!dir.isReadable() || !dir.exists()) return false;
  const QString canonical = QDir::cleanPath(dir.absolutePath());
  const QStringList subfolders =
      dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

  clear();
  const QIcon icon(FolderIcon());
  QStringList ancestors;
  for (QDir up(canonical);;) {
    ancestors.prepend(up.absolutePath());
    if (!up.cdUp()) break;
  }
  qsizetype depth = 0;
  for (const QString& ancestor : ancestors) {
    const QString name = ancestor == "/" ? ancestor : QFileInfo(ancestor).fileName();
    auto* entry = new QListWidgetItem(icon, QString(depth++ * 2, ' ') + name, this);
    entry->setData(Qt::UserRole, ancestor);
  }
  for (const QString& subfolder : subfolders) {
    auto* entry = new QListWidgetItem(icon, QString(depth * 2, ' ') + subfolder, this);
    entry->setData(Qt::UserRole, QDir(canonical).filePath(subfolder));
  }
  setCurrentRow(static_cast<int>(ancestors.size()) - 1);
  path_ = canonical;
  // Opened again, the same folder is read anew: files may have come and gone.
  emit pathChanged();
  return true;
}

void FolderList::keyboardSearch(const QString& search) {
  // Letters typed in quick succession make one name.
  if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > QApplication::keyboardInputInterval())
    typed_.clear();
  sinceTyped_.start();
  typed_ += search;
  // The same letter again goes on to the next name that starts with it.
  const bool oneLetter = typed_.count(typed_.front()) == typed_.size();
  const QString sought = oneLetter ? typed_.left(1) : typed_;
  const int rows = count();
  // From the next entry for a first letter, from the current one for a longer name.
  const int first = currentRow() + (oneLetter ? 1 : 0);
  for (int step = 0; step < rows; ++step) {
    const int row = (std::max(first, 0) + step) % rows;
    if (item(row)->text().trimmed().startsWith(sought, Qt::CaseInsensitive)) {
      setCurrentRow(row);
      return;
    }
  }
}

void FolderList::Open(QListWidgetItem* item) {
  const QString target = item->data(Qt::UserRole).toString();
  if (!setPath(target)) ShowUnreadable(this, target);
}

FolderPicker::FolderPicker(DriveList* drives, FolderList* folders)
    : QObject(folders), drives_(drives), folders_(folders) {
  ShowDriveOfFolder();
  connect(drives_, &QComboBox::currentIndexChanged, this, &FolderPicker::OpenDrive);
}

void FolderPicker::OpenDrive() {
  if (folders_->setPath(drives_->drive())) return;
  ShowUnreadable(folders_, drives_->drive());
  ShowDriveOfFolder();
}

void FolderPicker::ShowDriveOfFolder() {
  const QSignalBlocker quiet(drives_);
  drives_->setDrive(QStorageInfo(folders_->path()).rootPath());
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void FileList::setFolder(const QString& folder) {
  folder_ = folder;
  refresh();
}

void FileList::setPattern(const QString& pattern) {
  patterns_.clear();
  for (const QString& part : pattern.split(';', Qt::SkipEmptyParts)) {
    const QString trimmed = part.trimmed();
    patterns_ << (trimmed == "*.*" ? QStringLiteral("*") : trimmed);
  }
  refresh();
}

void FileList::refresh() {
  clear();
  if (folder_.isEmpty() || patterns_.isEmpty()) return;
  std::vector<QRegularExpression> matchers;
  for (const QString& pattern : patterns_) {
    matchers.emplace_back(QRegularExpression::wildcardToRegularExpression(pattern),
                          QRegularExpression::CaseInsensitiveOption);
  }
  std::vector<std::pair<QString, QByteArray>> entries;
  for (std::string& name : VisibleFileNames(QFile::encodeName(folder_).toStdString())) {
    QByteArray bytes = QByteArray::fromStdString(name);
    QString shown = QFile::decodeName(bytes);
    if (std::any_of(matchers.begin(), matchers.end(),
                    [&](const QRegularExpression& m) { return m.match(shown).hasMatch(); })) {
      entries.emplace_back(std::move(shown), std::move(bytes));
    }
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
  });
  for (auto& [shown, bytes] : entries) {
    auto* entry = new QListWidgetItem(shown, this);
    entry->setData(Qt::UserRole, bytes);
  }
}

QString FileList::folderWithSeparator() const {
  return folder_.endsWith('/') ? folder_ : folder_ + '/';
}

std::string FileList::pathAt(int row) const {
  return (QFile::encodeName(folderWithSeparator()) + item(row)->data(Qt::UserRole).toByteArray())
      .toStdString();
}

}  // namespace quobrel
