#include "app/quobrel_main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>

#include <algorithm>

#include "app/artwork.h"
#include "app/clickable.h"
#include "app/convert_options_panel.h"
#include "app/editor_launcher.h"
#include "app/event_pump.h"
#include "app/file_tab.h"
#include "app/history_file.h"
#include "app/output_folder_dialog.h"
#include "app/replace_inputs.h"
#include "app/status_list_view.h"
#include "app/tab_pages.h"
#include "app/text_tab.h"
#include "app/twips.h"
#include "app/widget_controls.h"
#include "app/window_access.h"
#include "batch/file_batch.h"
#include "conversion/convert_command.h"
#include "conversion/file_commands.h"
#include "conversion/replace_command.h"
#include "engine/characters.h"
#include "status/status_text.h"
#include "support/version.h"

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

// What the box at the end of a batch says: that all is done, or that it was stopped and how
// many files were converted; then the files that could not be done, by their status lines,
// ten at the most.
QString EndOfBatch(const std::vector<FileReport>& reports, const QListWidget& status) {
  auto count = [&](FileOutcome outcome) {
    return std::count_if(reports.begin(), reports.end(),
                         [outcome](const FileReport& report) { return report.outcome == outcome; });
  };
  QStringList failed;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const FileOutcome outcome = reports[i].outcome;
    if (!Succeeded(outcome) && outcome != FileOutcome::Cancelled)
      failed << status.item(static_cast<int>(i))->text();
  }
  QString text = count(FileOutcome::Cancelled) > 0
                     ? QStringLiteral("変換を中止しました。\n変換したファイル：%1件")
                           .arg(count(FileOutcome::Converted))
                 : failed.isEmpty() ? QStringLiteral("全ての変換が終了しました。")
                                    : QStringLiteral("全ての処理が終了しました。");
  if (failed.isEmpty()) return text;
  constexpr qsizetype kListed = 10;
  text += QStringLiteral("\n変換できなかったファイル：%1件").arg(failed.size());
  for (const QString& line : failed.mid(0, kListed)) text += '\n' + line;
  if (failed.size() > kListed) text += QStringLiteral("\nほか%1件").arg(failed.size() - kListed);
  return text;
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
      : conversionPanel(new ConvertOptionsPanel(window)),
        replacePanel(Panel(window, "Picture4")),
        replaceInputs(replacePanel),
        tabs(new TabPages(window)),
        convertText(tabs->addPage(QStringLiteral("Tavrik（TextBox）&1")), kConvertTextTab),
        convertFiles(tabs->addPage(QStringLiteral("Tavrik（Files）&2")), kConvertFileTab),
        replaceText(tabs->addPage(QStringLiteral("Lunesq（TextBox）&3")), kReplaceTextTab),
        replaceFiles(tabs->addPage(QStringLiteral("Lunesq（Files）&4")), kReplaceFileTab),
        tabStrip(tabs->tabBar()),
        convertSource(convertText.source),
        convertDestination(convertText.destination),
        replaceSource(replaceText.source),
        replaceDestination(replaceText.destination),
        searchLines(replaceInputs.searchLines),
        replacementLines(replaceInputs.replacementLines),
        search(replaceInputs.search),
        replacement(replaceInputs.replacement),
        ignoreCase(replaceInputs.ignoreCase),
        multiLine(replaceInputs.multiLine),
        convert({tabStrip, *conversionPanel, convertSource, convertDestination}),
        replace({tabStrip, search, replacement, searchLines, replacementLines, ignoreCase,
                 multiLine, replaceSource, replaceDestination}) {
    conversionPanel->setObjectName("Picture3");
    conversionPanel->setGeometry(TwipsRect(240, 240, 8235, 3135));
    conversionPanel->setAutoFillBackground(true);
    tabs->setObjectName("SSTab1");
    tabs->setPlace(TwipsRect(300, 3480, 8115, 3795));
    conversionBanner =
        Banner(window, "PK", "PKL", BannerImage(kConversionBannerName, kConversionBannerHeight),
               conversionInput);
    replaceBanner =
        Banner(window, "PM", "PML", BannerImage(kReplacementBannerName, kReplacementBannerHeight),
               replaceInput);
    topBar = Bar(window, "P1", 90, 90, 8475, 45);
    leftBar = Bar(window, "P2", 90, 120, 45, 7275);

    BuildBatchCover(window);
  }

  // The cover of a batch, parked outside the window until a batch brings it in.
  void BuildBatchCover(QWidget* window) {
    batchCover = new QWidget(window);
    Place(batchCover, "Picture1", 12000, 12000, 8415, 3735);
    batchCover->setAutoFillBackground(true);
    QLabel* conversionFiles = nullptr;
    QLabel* replaceFiles = nullptr;
    conversionCoverBanner =
        Banner(batchCover, "P11", "Label5",
               BannerImage(kConversionBannerName, kConversionBannerHeight), conversionFiles);
    replaceCoverBanner =
        Banner(batchCover, "P12", "Label15",
               BannerImage(kReplacementBannerName, kReplacementBannerHeight), replaceFiles);
    for (QLabel* banner : {conversionCoverBanner, replaceCoverBanner})
      banner->move(Px(1980), Px(1200));
    for (QLabel* label : {conversionFiles, replaceFiles}) label->setText("(Files)");
    coverVersion = new QLabel(batchCover);
    Place(coverVersion, "Label6", 2820, 2340, 2985, 180);
    Bar(batchCover, "Line1", 180, 3660, 8100, 15);
    Bar(batchCover, "Line2", 180, 3660, 15, 240);
    Bar(batchCover, "Line3", 8280, 3660, 15, 240);
  }

  FileTab* FileTabInFront() {
    switch (tabStrip.Current()) {
      case Tab::ConvertFiles:
        return &convertFiles;
      case Tab::ReplaceFiles:
        return &replaceFiles;
      default:
        return nullptr;
    }
  }

  ConvertOptionsPanel* conversionPanel;
  QWidget* replacePanel;
  ReplaceInputs replaceInputs;
  TabPages* tabs;
  TextTab convertText;
  FileTab convertFiles;
  TextTab replaceText;
  FileTab replaceFiles;
  QLabel* conversionBanner;
  QLabel* conversionInput;  // "(TextBox)" or "(Files)" on the banner
  QLabel* replaceBanner;
  QLabel* replaceInput;
  QFrame* topBar;
  QFrame* leftBar;
  QWidget* batchCover;
  QLabel* conversionCoverBanner;
  QLabel* replaceCoverBanner;
  QLabel* coverVersion;

  TabBarControl tabStrip;
  TextEditControl convertSource, convertDestination, replaceSource, replaceDestination;
  TextEditControl searchLines, replacementLines;
  ComboBoxControl search, replacement;
  CheckBoxControl ignoreCase, multiLine;
  ConvertCommand convert;
  ReplaceCommand replace;
};

QuobrelMain::QuobrelMain(std::function<void()> endProgram)
    : c_((setFont(CaptionFont()), std::make_unique<Controls>(this))),
      endProgram_(std::move(endProgram)) {
  setObjectName("QuobrelMain");
  setFixedSize(Px(8685), Px(7455));
  setWindowIcon(WindowIcon());
  if (!endProgram_) endProgram_ = [] { QCoreApplication::exit(0); };
  ConnectControls();
  SetTabOrder(this);
  PressButtonsWithEnter(this);
  NameControls(this);
  Start();
}

QuobrelMain::~QuobrelMain() = default;

void QuobrelMain::ConnectControls() {
  Controls& c = *c_;
  connect(c.tabs, &TabPages::currentChanged, this, &QuobrelMain::ShowCurrentFunction);
  connect(c.convertText.command, &QPushButton::clicked, this, [&c] { c.convert.Run(); });
  connect(c.replaceText.command, &QPushButton::clicked, this, [&c] { c.replace.Run(); });
  connect(c.convertFiles.command, &QPushButton::clicked, this, &QuobrelMain::ConvertFiles);
  connect(c.replaceFiles.command, &QPushButton::clicked, this, &QuobrelMain::ReplaceInFiles);
  for (QPushButton* exit : {c.convertText.exit, c.replaceText.exit})
    connect(exit, &QPushButton::clicked, this, &QuobrelMain::Exit);
  for (FileTab* tab : {&c.convertFiles, &c.replaceFiles}) {
    connect(tab->exit, &QPushButton::clicked, this, [this, tab] { ExitUnlessBatchRuns(*tab); });
    connect(tab->outputCheck, &QCheckBox::clicked, this,
            [this, tab] { ShowOutputFolderControls(*tab); });
    for (QWidget* control :
         {static_cast<QWidget*>(tab->outputIcon), static_cast<QWidget*>(tab->outputLabel)}) {
      OnDoubleClick(control, [this] { ChooseOutputFolder(); });
    }
    OnKeyActivation(tab->outputIcon, [this] { ChooseOutputFolder(); });
    FileList* files = tab->files;
    // A refused file never stays selected.
    connect(files, &QListWidget::itemSelectionChanged, this, [files] {
      const QSignalBlocker quiet(files);
      DeselectRefusedFiles(*files);
    });
    connect(files, &QListWidget::itemDoubleClicked, this, [this, files](QListWidgetItem* item) {
      if (item->text().isEmpty()) return;
      if (!OpenInTextEditor(files->folderWithSeparator() + item->text())) {
        MessageBox(this, QStringLiteral("情報"),
                   QStringLiteral("テキストエディタを起動できませんでした。"));
      }
    });
  }
  connect(c.replaceInputs.multiLine, &QCheckBox::clicked, this,
          [&c] { c.replace.ApplyMultiLineMode(); });
  for (QPlainTextEdit* box : {c.convertText.source, c.convertText.destination, c.replaceText.source,
                              c.replaceText.destination}) {
    OnDoubleClick(box, [this, box] { ShowCharacterCount(box); });
  }
}

void QuobrelMain::Start() {
  CentreOnScreen(this);
  const QString version = QString::fromUtf8(kVersionLabel.data(), qsizetype(kVersionLabel.size()));
  c_->conversionPanel->versionLabel()->setText(version);
  setWindowTitle(version + QString::fromUtf8(kAboutLine));
  c_->coverVersion->setText(version);
  c_->replaceInputs.versionLabel->setText(version);
  ShowCurrentFunction();
  c_->tabs->setCurrentIndex(0);

  historyPath_ = HistoryPath();
  const LoadedHistory history = LoadHistory(historyPath_);
  historyUnreadable_ = history.unreadable;
  for (const std::u16string& item : history.lists.searches) c_->search.AddItem(item);
  for (const std::u16string& item : history.lists.replacements) c_->replacement.AddItem(item);
}

void QuobrelMain::ShowCurrentFunction() {
  Controls& c = *c_;
  const Tab tab = c.tabStrip.Current();
  const bool conversion = tab == Tab::ConvertText || tab == Tab::ConvertFiles;
  const bool text = tab == Tab::ConvertText || tab == Tab::ReplaceText;
  (conversion ? c.conversionInput : c.replaceInput)->setText(text ? "(TextBox)" : "(Files)");
  QWidget* panel = conversion ? static_cast<QWidget*>(c.conversionPanel) : c.replacePanel;
  QWidget* banner = conversion ? c.conversionBanner : c.replaceBanner;
  for (QWidget* control :
       {panel, banner, static_cast<QWidget*>(c.topBar), static_cast<QWidget*>(c.leftBar)}) {
    control->raise();
  }
  // The panel behind is covered; hidden as well, it takes no keys either.
  c.conversionPanel->setVisible(conversion);
  c.replacePanel->setVisible(!conversion);
}

void QuobrelMain::Exit() {
  if (ending_) return;
  ending_ = true;
  // A history that cannot be written is given up, but not in silence: the program ends
  // all the same.
  if (!SaveHistory(historyPath_, {Items(c_->search), Items(c_->replacement)}, historyUnreadable_)) {
    MessageBox(this, QStringLiteral("情報"),
               QStringLiteral("履歴ファイル %1 を保存できませんでした。").arg(historyPath_));
  }
  hide();
  endProgram_();
}

void QuobrelMain::ExitUnlessBatchRuns(const FileTab& tab) {
  if (!tab.BatchRuns()) Exit();
}

void QuobrelMain::ConvertFiles() {
  const ConvertCommand& convert = c_->convert;
  RunBatch(c_->convertFiles, c_->conversionCoverBanner,
           {[&convert] { return ConvertingCommand(convert.Selection()); }});
}

void QuobrelMain::ReplaceInFiles() {
  const ReplaceCommand& replace = c_->replace;
  if (!replace.TakeTexts()) return;
  replace.RecordHistory();
  RunBatch(c_->replaceFiles, c_->replaceCoverBanner,
           {[&replace] {
              const std::optional<ReplaceTexts> texts = replace.ForFile();
              if (texts) return ReplacingCommand(*texts);
              // Nothing to replace with: no file changes.
              return FileCommand{
                  [](std::u16string text) { return CommandResult{std::move(text)}; }, {}, {}};
            },
            /*counted=*/true});
}

void QuobrelMain::RunBatch(FileTab& tab, QWidget* banner, const BatchCommand& command) {
  Controls& c = *c_;
  // One batch at a time.
  if (tab.files->count() == 0 || c.convertFiles.BatchRuns() || c.replaceFiles.BatchRuns()) return;
  cancelled_ = false;  // before the first yield, where Escape may already stop it

  tab.status->show();
  tab.drives->hide();
  tab.folders->hide();
  tab.status->raise();
  c.batchCover->move(Px(120), Px(120));
  c.batchCover->raise();
  banner->raise();
  // The panels under the cover take no keys either.
  SetPanelsEnabled(false);
  QCoreApplication::processEvents();  // shows the batch view before the files are collected

  std::vector<ListedFile> files;
  tab.status->clear();
  for (int i = 0; i < tab.files->count(); ++i) {
    const QListWidgetItem* entry = tab.files->item(i);
    if (entry->text().isEmpty() || !entry->isSelected()) continue;
    files.push_back(ListedFile::Named(tab.files->pathAt(i)));
    tab.status->addItem(ShownName(files.back().path.native()));
  }
  tab.files->hide();

  StatusListView view(
      tab.status, tab.outputCheck, tab.outputLabel, [this] { return ending_; },
      [this] { return cancelled_; });
  const std::vector<FileReport> reports = RunFileBatch(files, command, tab.Format(), view);
  if (ending_) return;

  tab.status->addItem(QString::fromStdU16String(std::u16string(kAllConverted)));
  MessageBox(this, QStringLiteral("変換終了通知"), EndOfBatch(reports, *tab.status));

  c.batchCover->move(Px(12000), Px(12000));
  SetPanelsEnabled(true);
  tab.status->hide();
  tab.drives->show();
  tab.folders->show();
  tab.files->show();
  PumpEvents();
  tab.status->clear();
  tab.files->refresh();
  // The check box may have changed while the batch ran: its folder shows as it says now.
  ShowOutputFolderControls(tab);
}

void QuobrelMain::SetPanelsEnabled(bool enabled) {
  c_->conversionPanel->setEnabled(enabled);
  c_->replacePanel->setEnabled(enabled);
}

void QuobrelMain::ShowOutputFolderControls(FileTab& tab) {
  // While a batch runs the check mark changes alone; the folder shows again when checked.
  if (tab.BatchRuns()) return;
  tab.outputIcon->setVisible(tab.outputCheck->isChecked());
  tab.outputLabel->setVisible(tab.outputCheck->isChecked());
}

void QuobrelMain::ChooseOutputFolder() {
  FileTab* tab = c_->FileTabInFront();
  OutputFolderDialog dialog(this, tab != nullptr ? tab->outputLabel : nullptr);
  dialog.exec();
}

void QuobrelMain::ShowCharacterCount(QPlainTextEdit* box) {
  const std::size_t count = CountCharacters(TextEditControl(box).Text());
  MessageBox(this, QStringLiteral("情報"),
             QString::number(count) + QStringLiteral("文字のデータが入ってます。"));
}

void QuobrelMain::keyPressEvent(QKeyEvent* event) {
  const bool batchRuns = c_->convertFiles.BatchRuns() || c_->replaceFiles.BatchRuns();
  // Escape stops a batch; the file under way is finished when small, else left.
  if (event->key() == Qt::Key_Escape && batchRuns) {
    cancelled_ = true;
    return;
  }
  // F5 reads the folder of the file tab in front anew.
  FileTab* tab = c_->FileTabInFront();
  if (event->matches(QKeySequence::Refresh) && tab != nullptr && !batchRuns) {
    const QString folder = tab->folders->path();
    if (!tab->folders->setPath(folder)) ShowUnreadable(this, folder);
    return;
  }
  QWidget::keyPressEvent(event);
}

void QuobrelMain::closeEvent(QCloseEvent* event) {
  Exit();
  event->accept();
}

void QuobrelMain::paintEvent(QPaintEvent*) {
  static const QPixmap background = BackgroundImage();
  QPainter(this).drawPixmap(0, 0, background);
}

}  // namespace quobrel
