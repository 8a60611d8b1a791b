#include "app/conversion_options.h"

#include <QGridLayout>
#include <QGroupBox>

#include <vector>

#include "app/twips.h"

namespace quobrel {
namespace {

struct OptionSpec {
  OptionButton button;
  const char* name;
  const char* caption;
};

struct FrameSpec {
  const char* name;
  const char* caption;
  int left, top, width, height;  // twips within the panel
  int columns;
  std::vector<OptionSpec> options;
};

const std::vector<FrameSpec>& Frames() {
  using enum OptionButton;
  static const std::vector<FrameSpec> frames{
      {"Frame1",
       "カタカナ変換",
       4620,
       60,
       3495,
       615,
       3,
       {{KatakanaFull, "KO1", "全角"},
        {KatakanaHalf, "KO2", "半角"},
        {KatakanaNone, "KO3", "なし"}}},
      {"Frame2",
       "数字変換",
       4620,
       780,
       3495,
       615,
       3,
       {{DigitsFull, "SO1", "全角"}, {DigitsHalf, "SO2", "半角"}, {DigitsNone, "SO3", "なし"}}},
      {"Frame3",
       "英字変換",
       4620,
       1500,
       3495,
       615,
       3,
       {{LettersFull, "EO1", "全角"}, {LettersHalf, "EO2", "半角"}, {LettersNone, "EO3", "なし"}}},
      {"Frame4",
       "スペース変換",
       60,
       1200,
       4395,
       915,
       3,
       {{SpacesPairsToFull, "SPO1", "半角が2個連続する場合のみ全角"},
        {SpacesAllToFull, "SPO2", "全角"},
        {SpacesAllToHalf, "SPO3", "半角"},
        {SpacesNone, "SPO4", "なし"}}},
      {"Frame5",
       "英字変換（大文字変換／小文字変換）",
       60,
       2220,
       8055,
       915,
       4,
       {{CaseAllUpper, "EOM1", "全部文字列を大文字"},
        {CaseAllLower, "EOM2", "全部文字列を小文字"},
        {CaseFullWidthUpper, "EOM11", "全角文字列を大文字"},
        {CaseFullWidthLower, "EOM21", "全角文字列を小文字"},
        {CaseHalfWidthUpper, "EOM12", "半角文字列を大文字"},
        {CaseHalfWidthLower, "EOM22", "半角文字列を小文字"},
        {CaseNone, "EOM3", "なし"}}},
  };
  return frames;
}

}  // namespace

ConversionOptions::ConversionOptions(QWidget* parent) : QWidget(parent) {
  for (const FrameSpec& spec : Frames()) {
    auto* frame = new QGroupBox(QString::fromUtf8(spec.caption), this);
    Place(frame, spec.name, spec.left, spec.top, spec.width, spec.height);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 0, 2, 0);
    grid->setSpacing(0);
    // Each caption close to its own button and clear of the next one, so that it is not
    // read as the next button's.
    grid->setHorizontalSpacing(10);
    frame->setStyleSheet(QStringLiteral("QRadioButton { spacing: 2px; }"));
    int place = 0;
    for (const OptionSpec& option : spec.options) {
      // The long first caption of the space group takes a row of its own.
      const bool wholeRow = option.button == OptionButton::SpacesPairsToFull;
      auto* button = new QRadioButton(QString::fromUtf8(option.caption), frame);
      button->setObjectName(option.name);
      grid->addWidget(button, place / spec.columns, place % spec.columns, 1,
                      wholeRow ? spec.columns : 1);
      place += wholeRow ? spec.columns : 1;
      buttons_[static_cast<std::size_t>(option.button)] = button;
    }
  }
  for (OptionButton button : kStartUpSelection)
    buttons_[static_cast<std::size_t>(button)]->setChecked(true);
  versionLabel_ = new QLabel(this);
  Place(versionLabel_, "LT", 780, 840, 2985, 180);
}

bool ConversionOptions::IsSelected(OptionButton button) const {
  return buttons_[static_cast<std::size_t>(button)]->isChecked();
}

}  // namespace quobrel
