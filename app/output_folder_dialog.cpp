#include "app/output_folder_dialog.h"

#include <QPushButton>
#include <QScreen>

#include "app/twips.h"
#include "app/window_access.h"

namespace quobrel {

void CentreOnScreen(QWidget* window) {
  const QRect screenArea = window->screen()->geometry();
  window->move(screenArea.x() + (screenArea.width() - window->width()) / 2,
               screenArea.y() + (screenArea.height() - window->height()) / 2);
}

OutputFolderDialog::OutputFolderDialog(QWidget* parent, OutputFolderLabel* label)
    : QDialog(parent), label_(label) {
  setObjectName("QuobrelCD2");
  setWindowTitle(QStringLiteral("変換ファイル出力フォルダの指定"));
  setModal(true);
  setFixedSize(Px(6525), Px(2595));
  folders_ = new FolderList(this);
  Place(folders_, "Dir1", 60, 420, 6375, 1350);
  auto* drives = new DriveList(this);
  Place(drives, "Drive1", 60, 60, 6375, 300);
  new FolderPicker(drives, folders_);
  auto* choose = new QPushButton(QStringLiteral("選択(&S)"), this);
  Place(choose, "CS", 4740, 1860, 1695, 315);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
  Place(cancel, "Command2", 4740, 2220, 1695, 315);
  for (QPushButton* button : {choose, cancel}) button->setAutoDefault(false);
  setTabOrder(folders_, drives);
  setTabOrder(drives, choose);
  setTabOrder(choose, cancel);
  NameControls(this);
  PressButtonsWithEnter(this);
  connect(choose, &QPushButton::clicked, this, &OutputFolderDialog::Choose);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  CentreOnScreen(this);
  folders_->setFocus();
}

void OutputFolderDialog::Choose() {
  QString folder = folders_->path();
  if (!folder.endsWith('/')) folder += '/';
  if (label_ != nullptr) label_->setFolder(folder);
  accept();
}

}  // namespace quobrel
