#include "app/file_tab.h"

#include <tuple>

#include "app/artwork.h"
#include "app/text_tab.h"
#include "app/twips.h"

namespace quobrel {

FileTab::FileTab(QWidget* page, const FileTabNames& names) : QObject(page) {
  Place(new QLabel(QStringLiteral("変換元ファイル"), page), names.filesLabel, 120, 420, 1275, 180);
  pattern = new QLineEdit(QStringLiteral("*.*"), page);
  Place(pattern, names.pattern, 5880, 360, 1155, 315);
  drives = new DriveList(page);
  Place(drives, names.drives, 300, 660, 3675, 300);
  folders = new FolderList(page);
  Place(folders, names.folders, 300, 960, 3675, 1770);
  files = new FileList(page);
  Place(files, names.files, 3960, 660, 3075, 2070);
  status = new QListWidget(page);
  Place(status, names.status, 300, 660, 6735, 2040);
  status->hide();
  // The two help lines are long for their place: a size smaller keeps them whole.
  for (auto [name, text, left, top] :
       {std::tuple{
            names.inPlaceHelp,
            "* 変換先を指定しない場合は変換元を直接変更しバックアップとして「old」を作成します。",
            180, 2760},
        std::tuple{names.refusedHelp,
                   "(拡張子「old」は変換できません。また、バイナリファイルも変換できません。)", 360,
                   2940}}) {
    auto* help = new QLabel(QString::fromUtf8(text), page);
    Place(help, name, left, top, 6915, 195);
    QFont smaller = help->font();
    smaller.setPointSize(smaller.pointSize() - 1);
    help->setFont(smaller);
  }
  outputCheck = new QCheckBox(QStringLiteral("変換先フォルダの指定"), page);
  Place(outputCheck, names.outputCheck, 180, 3180, 2055, 195);
  outputIcon = new QLabel(page);
  // 90 twips to the right of its place, clear of the check box's caption.
  Place(outputIcon, names.outputIcon, 2310, 3120, 300, 300);
  outputIcon->setPixmap(FolderIcon());
  outputIcon->setAlignment(Qt::AlignCenter);
  // Reached with Tab too, where a frame shows it has the focus.
  outputIcon->setFocusPolicy(Qt::StrongFocus);
  outputIcon->setStyleSheet(
      QStringLiteral("QLabel:focus { border: 1px solid palette(highlight); }"));
  outputIcon->hide();
  outputLabel = new OutputFolderLabel(page);
  Place(outputLabel, names.outputLabel, 300, 3360, 6735, 315);
  outputLabel->hide();
  auto* encodingLabel = new QLabel(QStringLiteral("文字コード"), page);
  Place(encodingLabel, nullptr, 3000, 420, 900, 180);
  encoding = new QComboBox(page);
  encodingLabel->setBuddy(encoding);  // read by screen readers as the box's label
  Place(encoding, names.encoding, 3960, 345, 1800, 300);
  encoding->addItem(QStringLiteral("自動判別"));
  for (TextEncoding known : {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::EucJp}) {
    const std::string_view name = EncodingName(known);
    encoding->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())),
                      static_cast<int>(known));
  }
  command = CommandButton(page, names.command);
  exit = ExitButton(page, names.exit);

  // The drive of the current folder, the folder, and its files.
  new FolderPicker(drives, folders);
  files->setFolder(folders->path());
  // The file list follows the folder and the pattern.
  connect(folders, &FolderList::pathChanged, this, [this] { files->setFolder(folders->path()); });
  connect(pattern, &QLineEdit::textChanged, files, &FileList::setPattern);
}

FileFormat FileTab::Format() const {
  const QVariant chosen = encoding->currentData();
  return {
      chosen.isValid() ? std::optional(static_cast<TextEncoding>(chosen.toInt())) : std::nullopt,
      TextEncoding::Cp932, LineBreakRule::Lines};
}

}  // namespace quobrel
