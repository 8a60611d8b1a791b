#include "app/convert_options_panel.h"

#include <QGridLayout>
#include <QGroupBox>

#include <string_view>
#include <vector>

#include "app/twips.h"

namespace quobrel {
namespace {

// A button's part in the options: its group's field set to its choice.
template <auto kGroup, auto kChoice>
void Set(Options& options) {
  options.*kGroup = kChoice;
}

struct OptionButtonLayout {
  const char* name;
  const char* caption;
  ConvertOptionsPanel::Select select;
};

struct FrameLayout {
  const char* name;
  const char* caption;
  int left, top, width, height;  // twips within the panel
  int columns;
  std::vector<OptionButtonLayout> options;
};

const std::vector<FrameLayout>& Frames() {
  using C = Options;
  using enum Width;
  constexpr auto kKatakana = &C::katakana;
  constexpr auto kDigits = &C::digits;
  constexpr auto kLetters = &C::letters;
  constexpr auto kSpaces = &C::spaces;
  constexpr auto kCase = &C::letterCase;
  static const std::vector<FrameLayout> frames{
      {"Frame1",
       "カタカナ変換",
       4620,
       60,
       3495,
       615,
       3,
       {{"KO1", "全角", Set<kKatakana, Full>},
        {"KO2", "半角", Set<kKatakana, Half>},
        {"KO3", "なし", Set<kKatakana, Keep>}}},
      {"Frame2",
       "数字変換",
       4620,
       780,
       3495,
       615,
       3,
       {{"SO1", "全角", Set<kDigits, Full>},
        {"SO2", "半角", Set<kDigits, Half>},
        {"SO3", "なし", Set<kDigits, Keep>}}},
      {"Frame3",
       "英字変換",
       4620,
       1500,
       3495,
       615,
       3,
       {{"EO1", "全角", Set<kLetters, Full>},
        {"EO2", "半角", Set<kLetters, Half>},
        {"EO3", "なし", Set<kLetters, Keep>}}},
      {"Frame4",
       "スペース変換",
       60,
       1200,
       4395,
       915,
       3,
       {{"SPO1", "半角が2個連続する場合のみ全角", Set<kSpaces, Spaces::PairsToFull>},
        {"SPO2", "全角", Set<kSpaces, Spaces::AllToFull>},
        {"SPO3", "半角", Set<kSpaces, Spaces::AllToHalf>},
        {"SPO4", "なし", Set<kSpaces, Spaces::Keep>}}},
      {"Frame5",
       "英字変換（大文字変換／小文字変換）",
       60,
       2220,
       8055,
       915,
       4,
       {{"EOM1", "全部文字列を大文字", Set<kCase, LetterCase::Upper>},
        {"EOM2", "全部文字列を小文字", Set<kCase, LetterCase::Lower>},
        {"EOM11", "全角文字列を大文字", Set<kCase, LetterCase::UpperFullWidth>},
        {"EOM21", "全角文字列を小文字", Set<kCase, LetterCase::LowerFullWidth>},
        {"EOM12", "半角文字列を大文字", Set<kCase, LetterCase::UpperHalfWidth>},
        {"EOM22", "半角文字列を小文字", Set<kCase, LetterCase::LowerHalfWidth>},
        {"EOM3", "なし", Set<kCase, LetterCase::Keep>}}},
  };
  return frames;
}

}  // namespace

ConvertOptionsPanel::ConvertOptionsPanel(QWidget* parent) : QWidget(parent) {
  for (const FrameLayout& frameLayout : Frames()) {
    auto* frame = new QGroupBox(QString::fromUtf8(frameLayout.caption), this);
    Place(frame, frameLayout.name, frameLayout.left, frameLayout.top, frameLayout.width,
          frameLayout.height);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 0, 2, 0);
    grid->setSpacing(0);
    // Each caption close to its own button and clear of the next one, so that it is not
    // read as the next button's.
    grid->setHorizontalSpacing(10);
    frame->setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
    int place = 0;
    for (const OptionButtonLayout& option : frameLayout.options) {
      // The long first caption of the space group takes a row of its own.
      const bool wholeRow = std::string_view(option.name) == "SPO1";
      auto* button = new QRadioButton(QString::fromUtf8(option.caption), frame);
      button->setObjectName(option.name);
      grid->addWidget(button, place / frameLayout.columns, place % frameLayout.columns, 1,
                      wholeRow ? frameLayout.columns : 1);
      place += wholeRow ? frameLayout.columns : 1;
      buttons_.emplace_back(button, option.select);
      // Checked at start-up when it selects what the default options hold already.
      Options selected;
      option.select(selected);
      if (selected == Options{}) button->setChecked(true);
    }
  }
  versionLabel_ = new QLabel(this);
  Place(versionLabel_, "LT", 780, 840, 2985, 180);
}

Options ConvertOptionsPanel::Current() const {
  Options options;
  for (const auto& [button, select] : buttons_) {
    if (button->isChecked()) select(options);
  }
  return options;
}

}  // namespace quobrel
