#include "quobrel_cd2.h"

#include <QDir>
#include <QScreen>
#include <QStorageInfo>

#include "tab_pages.h"
#include "twips.h"

namespace quobrel {

QuobrelCD2::QuobrelCD2(QWidget* parent, const TabPages& SSTab1, OutputFolderLabel* LO,
                       OutputFolderLabel* LO2)
    : QDialog(parent), SSTab1_(SSTab1), LO_(LO), LO2_(LO2) {
  setObjectName("QuobrelCD2");
  setWindowTitle(QStringLiteral("変換ファイル出力フォルダの指定"));
  setModal(true);
  setFixedSize(Px(6525), Px(2595));
  Dir1_ = new FolderList(this);
  Place(Dir1_, "Dir1", 60, 420, 6375, 1350);
  Drive1_ = new DriveList(this);
  Place(Drive1_, "Drive1", 60, 60, 6375, 300);
  auto* select = new QPushButton(QStringLiteral("選択(&S)"), this);
  Place(select, "CS", 4740, 1860, 1695, 315);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
  Place(cancel, "Command2", 4740, 2220, 1695, 315);
  for (QPushButton* button : {select, cancel}) button->setAutoDefault(false);
  setTabOrder(Dir1_, Drive1_);
  setTabOrder(Drive1_, select);
  setTabOrder(select, cancel);

  connect(Drive1_, &QComboBox::currentIndexChanged, this, &QuobrelCD2::Drive1_Change);
  connect(select, &QPushButton::clicked, this, &QuobrelCD2::CS_Click);
  connect(cancel, &QPushButton::clicked, this, &QuobrelCD2::Command2_Click);
  Form_Load();
}

void QuobrelCD2::Form_Load() {
  const QRect screenArea = screen()->geometry();
  move(screenArea.x() + (screenArea.width() - width()) / 2,
       screenArea.y() + (screenArea.height() - height()) / 2);
  Dir1_->setPath(QDir::currentPath());
  const QSignalBlocker quiet(Drive1_);
  Drive1_->setDrive(QStorageInfo(Dir1_->path()).rootPath());
  Dir1_->setFocus();
}

void QuobrelCD2::Drive1_Change() {
  if (Dir1_->setPath(Drive1_->drive())) return;
  ShowUnreadable(this, Drive1_->drive());
  const QSignalBlocker quiet(Drive1_);
  Drive1_->setDrive(QStorageInfo(Dir1_->path()).rootPath());
}

void QuobrelCD2::CS_Click() {
  QString folder = Dir1_->path();
  if (!folder.endsWith('/')) folder += '/';
  if (SSTab1_.currentIndex() == 1) LO_->setFolder(folder);
  if (SSTab1_.currentIndex() == 3) LO2_->setFolder(folder);
  accept();
}

}  // namespace quobrel
