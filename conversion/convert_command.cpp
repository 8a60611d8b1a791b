#include "conversion/convert_command.h"

#include "engine/conversions.h"

namespace quobrel {
namespace {

convert::WidthClasses ClassesOf(const OptionPanel& panel,
                                const std::array<OptionButton, 3>& buttons, bool symbols) {
  return {panel.IsSelected(buttons[0]), panel.IsSelected(buttons[1]), panel.IsSelected(buttons[2]),
          symbols};
}

convert::CaseChange CaseChangeOf(const OptionPanel& panel) {
  for (const CaseButton& entry : kCaseButtons) {
    if (panel.IsSelected(entry.button)) return entry.change;
  }
  return {};
}

convert::SpaceMode SpaceModeOf(const OptionPanel& panel) {
  convert::SpaceMode mode = convert::SpaceMode::Unchanged;
  for (const SpaceButton& entry : kSpaceButtons) {
    if (panel.IsSelected(entry.button)) mode = entry.mode;
  }
  return mode;
}

}  // namespace

std::u16string ConvertText(std::u16string text, const OptionPanel& panel,
                           const ExtraConversions& extra) {
  using enum ExtraConversions::SymbolWidth;
  if (extra.kana != convert::KanaScript::Unchanged)
    text = convert::ConvertKanaScript(text, extra.kana);
  if (const auto classes = ClassesOf(panel, kFullWidthButtons, extra.symbols == Full);
      classes.Any())
    text = convert::ToFullWidth(text, classes);
  if (const auto classes = ClassesOf(panel, kHalfWidthButtons, extra.symbols == Half);
      classes.Any())
    text = convert::ToHalfWidth(text, classes);
  if (const auto change = CaseChangeOf(panel); change.Any())
    text = convert::ConvertLetterCase(text, change);
  if (const auto mode = SpaceModeOf(panel); mode != convert::SpaceMode::Unchanged)
    text = convert::ConvertSpaces(text, mode);
  return text;
}

void ConvertCommand::Run() const {
  if (controls_.tabs.Current() != Tab::ConvertText) return;
  std::u16string result = ConvertText(controls_.source.Text(), controls_.panel);
  // The tab is read again: the user may have turned to another while the text converted.
  if (controls_.tabs.Current() == Tab::ConvertText) controls_.destination.SetText(result);
}

}  // namespace quobrel
