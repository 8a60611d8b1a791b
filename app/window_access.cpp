#include "app/window_access.h"

#include <QPushButton>
#include <QTabBar>
#include <QWidget>

#include "app/clickable.h"

#include <string_view>
#include <utility>

namespace quobrel {
namespace {

// The controls by name, in the order Tab takes them; the tab bar stands between the panels
// and the tabs' controls. Hidden ones are passed by.
constexpr std::string_view kPanels[] = {
    // Conversion: spaces and letter case on the left, then katakana, digits and letters.
    "SPO1", "SPO2", "SPO3", "SPO4", "EOM1", "EOM2", "EOM11", "EOM21", "EOM12", "EOM22", "EOM3",
    "KO1", "KO2", "KO3", "SO1", "SO2", "SO3", "EO1", "EO2", "EO3",
    // Replacement: the texts on the left, then the check boxes.
    "C1", "T1", "C2", "T2", "CO1", "CO2"};
constexpr std::string_view kTabs[] = {
    "Text1", "Text2", "Command1", "Command2", "FileEncoding1", "Text6",    "Drive1",
    "Dir1",  "File1", "LMPath",   "HenC1",    "Image2",        "Command4", "Command3",
    "Text3", "Text4", "Command6", "Command7", "FileEncoding2", "Text5",    "Drive2",
    "Dir2",  "File2", "LMPath2",  "HenC2",    "Image4",        "Command9", "Command10"};
static_assert(std::size(kPanels) == 20 + 6 && std::size(kTabs) == 2 * 4 + 2 * 10);

// What a screen reader says of the controls whose own text says nothing, or too little.
constexpr std::pair<std::string_view, std::string_view> kNames[] = {
    {"Text1", "変換元データ"},
    {"Text2", "変換先データ"},
    {"Text3", "変換元データ"},
    {"Text4", "変換先データ"},
    {"C1", "変換する文字列"},
    {"T1", "変換する文字列"},
    {"C2", "変換後の文字列"},
    {"T2", "変換後の文字列"},
    {"FileEncoding1", "文字コード"},
    {"FileEncoding2", "文字コード"},
    {"Text6", "ファイル名のパターン"},
    {"Text5", "ファイル名のパターン"},
    {"Drive1", "ドライブ"},
    {"Drive2", "ドライブ"},
    {"Dir1", "フォルダ一覧"},
    {"Dir2", "フォルダ一覧"},
    {"File1", "変換元ファイル一覧"},
    {"File2", "変換元ファイル一覧"},
    {"LMPath", "処理結果"},
    {"LMPath2", "処理結果"},
    {"Image2", "変換先フォルダを選ぶ"},
    {"Image4", "変換先フォルダを選ぶ"},
};

QWidget* Named(QWidget* window, std::string_view name) {
  return window->findChild<QWidget*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

}  // namespace

void SetTabOrder(QWidget* window) {
  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* next) {
    if (next == nullptr) return;
    if (previous != nullptr) QWidget::setTabOrder(previous, next);
    previous = next;
  };
  for (std::string_view name : kPanels) chain(Named(window, name));
  chain(window->findChild<QTabBar*>());
  for (std::string_view name : kTabs) chain(Named(window, name));
}

void PressButtonsWithEnter(QWidget* window) {
  for (QPushButton* button : window->findChildren<QPushButton*>())
    OnKeyActivation(button, [button] { button->click(); }, {Qt::Key_Return, Qt::Key_Enter});
}

void NameControls(QWidget* window) {
  for (const auto& [control, name] : kNames) {
    if (QWidget* widget = Named(window, control))
      widget->setAccessibleName(QString::fromUtf8(name.data(), qsizetype(name.size())));
  }
}

}  // namespace quobrel
