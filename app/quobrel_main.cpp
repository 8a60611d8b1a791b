#include "quobrel_main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include "artwork.h"
#include "clickable.h"
#include "conversion_options.h"
#include "convert_command.h"
#include "editor_launcher.h"
#include "event_pump.h"
#include "file_batch.h"
#include "file_tab.h"
#include "history_file.h"
#include "quobrel_cd2.h"
#include "replace_command.h"
#include "replace_inputs.h"
#include "status_list_view.h"
#include "tab_pages.h"
#include "text_tab.h"
#include "twips.h"
#include "version.h"
#include "widget_controls.h"

namespace quobrel {
namespace {

constexpr const char* kAboutLine = "  全角・半角／大文字・小文字の変換と文字列の一括置換";

QLabel* Banner(QWidget* parent, const char* name, const char* labelName, const QPixmap& image,
               QLabel*& label) {
  auto* banner = new QLabel(parent);
  Place(banner, name, 0, 60, 4815, 975);
  banner->setPixmap(image);
  banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label = new QLabel(banner);
  Place(label, labelName, 3120, 360, 1575, 255);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setStyleSheet("color: white;");
  return banner;
}

QFrame* Bar(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* bar = new QFrame(parent);
  Place(bar, name, left, top, width, height);
  bar->setStyleSheet("background-color: #2b3a67;");
  return bar;
}

// A panel in front of the other one in the same place hides it.
QWidget* Panel(QWidget* parent, const char* name) {
  auto* panel = new QWidget(parent);
  Place(panel, name, 240, 240, 8235, 3135);
  panel->setAutoFillBackground(true);
  return panel;
}

// The captions' font: "ＭＳ Ｐゴシック" 9 pt, or an installed Japanese font like it.
QFont CaptionFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), "MS PGothic", "Noto Sans CJK JP",
                    "IPAPGothic", "VL PGothic", "TakaoPGothic"});
  font.setPointSize(9);
  return font;
}

void MessageBox(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

std::vector<std::u16string> Items(const ComboBox& box) {
  std::vector<std::u16string> items;
  for (std::size_t i = 0; i < box.ItemCount(); ++i) items.push_back(box.Item(i));
  return items;
}

}  // namespace

struct QuobrelMain::Controls {
  explicit Controls(QuobrelMain* window)
      : Picture3(new ConversionOptions(window)),
        Picture4(Panel(window, "Picture4")),
        replace(Picture4),
        SSTab1(new TabPages(window)),
        convertText(SSTab1->addPage(QStringLiteral("Tavrik（TextBox）&1")), kConvertTextTab),
        convertFiles(SSTab1->addPage(QStringLiteral("Tavrik（Files）&2")), kConvertFileTab),
        replaceText(SSTab1->addPage(QStringLiteral("Lunesq（TextBox）&3")), kReplaceTextTab),
        replaceFiles(SSTab1->addPage(QStringLiteral("Lunesq（Files）&4")), kReplaceFileTab),
        tabs(SSTab1->tabBar()),
        Text1(convertText.source),
        Text2(convertText.destination),
        Text3(replaceText.source),
        Text4(replaceText.destination),
        T1(replace.T1),
        T2(replace.T2),
        C1(replace.C1),
        C2(replace.C2),
        CO1(replace.CO1),
        CO2(replace.CO2),
        convert({tabs, *Picture3, Text1, Text2}, form),
        replaceCommand({tabs, C1, C2, T1, T2, CO1, CO2, Text3, Text4}, form) {
    Picture3->setObjectName("Picture3");
    Picture3->setGeometry(TwipsRect(240, 240, 8235, 3135));
    Picture3->setAutoFillBackground(true);
    SSTab1->setObjectName("SSTab1");
    SSTab1->setPlace(TwipsRect(300, 3480, 8115, 3795));
    PK = Banner(window, "PK", "PKL", BannerImage(kConversionBannerName, kConversionBannerHeight),
                PKL);
    PM = Banner(window, "PM", "PML", BannerImage(kReplacementBannerName, kReplacementBannerHeight),
                PML);
    P1 = Bar(window, "P1", 90, 90, 8475, 45);
    P2 = Bar(window, "P2", 90, 120, 45, 7275);

    // The cover of a batch, parked outside the window until a batch brings it in.
    Picture1 = new QWidget(window);
    Place(Picture1, "Picture1", 12000, 12000, 8415, 3735);
    Picture1->setAutoFillBackground(true);
    QLabel* label5 = nullptr;
    QLabel* label15 = nullptr;
    P11 = Banner(Picture1, "P11", "Label5",
                 BannerImage(kConversionBannerName, kConversionBannerHeight), label5);
    P11->move(Px(1980), Px(1200));
    P12 = Banner(Picture1, "P12", "Label15",
                 BannerImage(kReplacementBannerName, kReplacementBannerHeight), label15);
    P12->move(Px(1980), Px(1200));
    label5->setText("(Files)");
    label15->setText("(Files)");
    Label6 = new QLabel(Picture1);
    Place(Label6, "Label6", 2820, 2340, 2985, 180);
    Bar(Picture1, "Line1", 180, 3660, 8100, 15);
    Bar(Picture1, "Line2", 180, 3660, 15, 240);
    Bar(Picture1, "Line3", 8280, 3660, 15, 240);
  }

  FormData form;
  ConversionOptions* Picture3;
  QWidget* Picture4;
  ReplaceInputs replace;
  TabPages* SSTab1;
  TextTab convertText;
  FileTab convertFiles;
  TextTab replaceText;
  FileTab replaceFiles;
  QLabel* PK;
  QLabel* PKL;
  QLabel* PM;
  QLabel* PML;
  QFrame* P1;
  QFrame* P2;
  QWidget* Picture1;
  QLabel* P11;
  QLabel* P12;
  QLabel* Label6;

  TabBarControl tabs;
  TextEditControl Text1, Text2, Text3, Text4, T1, T2;
  ComboBoxControl C1, C2;
  CheckBoxControl CO1, CO2;
  ConvertCommand convert;
  ReplaceCommand replaceCommand;
};

QuobrelMain::QuobrelMain(std::function<void()> endProgram)
    : c_((setFont(CaptionFont()), std::make_unique<Controls>(this))),
      endProgram_(std::move(endProgram)) {
  setObjectName("QuobrelMain");
  setFixedSize(Px(8685), Px(7455));
  setWindowIcon(WindowIcon());
  if (!endProgram_) endProgram_ = [] { QCoreApplication::exit(0); };

  Controls& c = *c_;
  connect(c.SSTab1, &TabPages::currentChanged, this, &QuobrelMain::SSTab1_Click);
  connect(c.convertText.command, &QPushButton::clicked, this, &QuobrelMain::Command1_Click);
  connect(c.convertText.exit, &QPushButton::clicked, this, &QuobrelMain::Command2_Click);
  connect(c.convertFiles.exit, &QPushButton::clicked, this, &QuobrelMain::Command3_Click);
  connect(c.convertFiles.command, &QPushButton::clicked, this, &QuobrelMain::Command4_Click);
  connect(c.replaceFiles.command, &QPushButton::clicked, this, &QuobrelMain::Command9_Click);
  connect(c.replaceText.command, &QPushButton::clicked, this, &QuobrelMain::Command6_Click);
  connect(c.replaceText.exit, &QPushButton::clicked, this, &QuobrelMain::Command7_Click);
  connect(c.replaceFiles.exit, &QPushButton::clicked, this, &QuobrelMain::Command10_Click);
  connect(c.replace.CO2, &QCheckBox::clicked, this, &QuobrelMain::CO2_Click);
  connect(c.convertFiles.outputCheck, &QCheckBox::clicked, this, &QuobrelMain::HenC1_Click);
  connect(c.replaceFiles.outputCheck, &QCheckBox::clicked, this, &QuobrelMain::HenC2_Click);
  for (QPlainTextEdit* box : {c.convertText.source, c.convertText.destination, c.replaceText.source,
                              c.replaceText.destination}) {
    OnDoubleClick(box,
                  [this, box] { ShowCharacterCount(box); });  // Text1_DblClick … Text4_DblClick
  }
  OnDoubleClick(c.convertFiles.outputIcon, [this] { Image2_DblClick(); });
  OnDoubleClick(c.convertFiles.outputLabel, [this] { Image2_DblClick(); });  // LO_DblClick
  OnDoubleClick(c.replaceFiles.outputIcon, [this] { Image4_DblClick(); });
  OnDoubleClick(c.replaceFiles.outputLabel, [this] { Image4_DblClick(); });  // LO2_DblClick
  for (FileTab* tab : {&c.convertFiles, &c.replaceFiles}) {
    FileList* files = tab->files;
    // File1_Click / File2_Click: a refused file never stays selected.
    connect(files, &QListWidget::itemSelectionChanged, this, [files] {
      const QSignalBlocker quiet(files);
      DeselectRefusedFiles(*files);
    });
    // File1_DblClick / File2_DblClick.
    connect(files, &QListWidget::itemDoubleClicked, this, [this, files](QListWidgetItem* item) {
      if (item->text().isEmpty()) return;
      if (!OpenInTextEditor(files->folderWithSeparator() + item->text())) {
        MessageBox(this, QStringLiteral("情報"),
                   QStringLiteral("テキストエディタを起動できませんでした。"));
      }
    });
  }
  Form_Load();
}

QuobrelMain::~QuobrelMain() = default;

void QuobrelMain::Form_Load() {
  const QRect screenArea = screen()->geometry();
  move(screenArea.x() + (screenArea.width() - width()) / 2,
       screenArea.y() + (screenArea.height() - height()) / 2);
  const QString version = QString::fromUtf8(kVersionLabel.data(), qsizetype(kVersionLabel.size()));
  c_->Picture3->LT()->setText(version);
  setWindowTitle(c_->Picture3->LT()->text() + QString::fromUtf8(kAboutLine));
  c_->Label6->setText(version);
  c_->replace.LT2->setText(version);
  TabStrip1();
  c_->SSTab1->setCurrentIndex(0);

  HistoryPath_ = HistoryPath();
  const LoadedHistory history = LoadHistory(HistoryPath_);
  historyUnreadable_ = history.unreadable;
  for (const std::u16string& item : history.lists.C1) c_->C1.AddItem(item);
  for (const std::u16string& item : history.lists.C2) c_->C2.AddItem(item);
}

void QuobrelMain::TabStrip1() {
  Controls& c = *c_;
  const int tab = c.SSTab1->currentIndex();
  if (tab < 0 || tab > 3) return;
  const bool conversion = tab == 0 || tab == 1;
  (conversion ? c.PKL : c.PML)->setText(tab == 0 || tab == 2 ? "(TextBox)" : "(Files)");
  for (QWidget* control : {conversion ? static_cast<QWidget*>(c.Picture3) : c.Picture4,
                           static_cast<QWidget*>(conversion ? c.PK : c.PM),
                           static_cast<QWidget*>(c.P1), static_cast<QWidget*>(c.P2)}) {
    control->raise();
  }
  // The panel behind is covered; hidden as well, it takes no keys either.
  c.Picture3->setVisible(conversion);
  c.Picture4->setVisible(!conversion);
}

void QuobrelMain::SSTab1_Click() { TabStrip1(); }

void QuobrelMain::Command1_Click() { c_->convert.Command1_Click(); }

void QuobrelMain::Command2_Click() {
  if (ending_) return;
  ending_ = true;
  // A history that cannot be written is given up, but not in silence: the program ends
  // all the same.
  if (!SaveHistory(HistoryPath_, {Items(c_->C1), Items(c_->C2)}, historyUnreadable_)) {
    MessageBox(this, QStringLiteral("情報"),
               QStringLiteral("履歴ファイル %1 を保存できませんでした。").arg(HistoryPath_));
  }
  hide();
  endProgram_();
}

void QuobrelMain::Command3_Click() {
  if (!c_->convertFiles.BatchRuns()) Command2_Click();
}

void QuobrelMain::Command4_Click() {
  RunBatch(c_->convertFiles, c_->P11, {[this] {
             c_->convert.Command1_Click(Caller::Batch);
             return std::size_t{0};
           }});
}

void QuobrelMain::Command6_Click() { c_->replaceCommand.Command6_Click(); }

void QuobrelMain::Command9_Click() {
  const ReplaceCommand& replace = c_->replaceCommand;
  if (!replace.TakeTexts()) return;
  replace.RecordHistory();
  RunBatch(c_->replaceFiles, c_->P12,
           {[&replace] { return replace.Command6_Click(Caller::Batch); }, /*counted=*/true});
}

void QuobrelMain::RunBatch(FileTab& tab, QWidget* banner, const BatchCommand& command) {
  Controls& c = *c_;
  // Either batch refuses while one runs: they share SourceData and ResultData.
  if (tab.files->count() == 0 || c.convertFiles.BatchRuns() || c.replaceFiles.BatchRuns()) return;

  tab.status->show();
  tab.drives->hide();
  tab.folders->hide();
  tab.status->raise();
  c.Picture1->move(Px(120), Px(120));
  c.Picture1->raise();
  banner->raise();
  QCoreApplication::processEvents();  // shows the batch view before the files are collected

  const QString folder = tab.files->folderWithSeparator();
  std::vector<std::filesystem::path> paths;
  tab.status->clear();
  for (int i = 0; i < tab.files->count(); ++i) {
    const QListWidgetItem* entry = tab.files->item(i);
    if (entry->text().isEmpty() || !entry->isSelected()) continue;
    paths.emplace_back(tab.files->pathAt(i));
    tab.status->addItem(folder + entry->text());
  }
  tab.files->hide();

  StatusListView view(tab.status, tab.outputCheck, tab.outputLabel, [this] { return ending_; });
  RunFileBatch(paths, command, tab.Format(), c.form, view);
  if (ending_) return;

  tab.status->addItem(QString::fromStdU16String(std::u16string(kAllConverted)));
  MessageBox(this, QStringLiteral("変換終了通知"), QStringLiteral("全ての変換が終了しました。"));

  c.Picture1->move(Px(12000), Px(12000));
  tab.status->hide();
  tab.drives->show();
  tab.folders->show();
  tab.files->show();
  PumpEvents();
  c.form = {};
  tab.status->clear();
  tab.files->refresh();
  // The check box may have changed while the batch ran: its folder shows as it says now.
  ShowOutputFolderControls(tab);
}

void QuobrelMain::Command7_Click() { Command2_Click(); }

void QuobrelMain::Command10_Click() {
  if (!c_->replaceFiles.BatchRuns()) Command2_Click();
}

void QuobrelMain::CO2_Click() { c_->replaceCommand.CO2_Click(); }

void QuobrelMain::HenC1_Click() { ShowOutputFolderControls(c_->convertFiles); }

void QuobrelMain::HenC2_Click() { ShowOutputFolderControls(c_->replaceFiles); }

void QuobrelMain::ShowOutputFolderControls(FileTab& tab) {
  // While a batch runs the check mark changes alone; the folder shows again when checked.
  if (tab.BatchRuns()) return;
  tab.outputIcon->setVisible(tab.outputCheck->isChecked());
  tab.outputLabel->setVisible(tab.outputCheck->isChecked());
}

void QuobrelMain::Image2_DblClick() { OpenOutputFolderDialog(); }

void QuobrelMain::Image4_DblClick() { OpenOutputFolderDialog(); }

void QuobrelMain::OpenOutputFolderDialog() {
  QuobrelCD2 dialog(this, *c_->SSTab1, c_->convertFiles.outputLabel, c_->replaceFiles.outputLabel);
  dialog.exec();
}

void QuobrelMain::ShowCharacterCount(QPlainTextEdit* box) {
  const std::size_t count = TextEditControl(box).Text().size();
  MessageBox(this, QStringLiteral("情報"),
             QString::number(count) + QStringLiteral("文字のデータが入ってます。"));
}

void QuobrelMain::closeEvent(QCloseEvent* event) {
  Command2_Click();
  event->accept();
}

void QuobrelMain::paintEvent(QPaintEvent*) {
  static const QPixmap background = BackgroundImage();
  QPainter(this).drawPixmap(0, 0, background);
}

}  // namespace quobrel
