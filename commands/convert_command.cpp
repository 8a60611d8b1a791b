#include "convert_command.h"

#include <string>

#include "pembo95.h"

namespace quobrel {
namespace {

constexpr std::string_view kNothing = "000";

std::string CodeOf(const OptionPanel& panel, const std::array<OptionButton, 3>& buttons) {
  std::string code;
  for (OptionButton button : buttons) code += panel.IsSelected(button) ? '1' : '0';
  return code;
}

std::string_view CaseCode(const OptionPanel& panel) {
  for (const CodedButton& entry : kCaseButtons) {
    if (panel.IsSelected(entry.button)) return entry.code;
  }
  return {};
}

std::string_view SpaceCode(const OptionPanel& panel) {
  std::string_view code;
  for (const CodedButton& entry : kSpaceButtons) {
    if (panel.IsSelected(entry.button)) code = entry.code;
  }
  return code;
}

// An empty code (no button of the group selected) converts nothing either.
bool Selects(std::string_view code) { return !code.empty() && code != kNothing; }

}  // namespace

void ConvertCommand::Command1_Click(Caller caller) const {
  const bool batch = caller == Caller::Batch;
  const TabStrip& tabs = controls_.SSTab1;
  // The text under conversion: the source itself until a conversion makes a new one.
  std::u16string converted;
  std::u16string_view text;
  if (batch) {
    text = converted = std::move(form_.SourceData);
    form_.SourceData.clear();
  } else {
    if (tabs.Tab() == 0) text = converted = controls_.Text1.Text();
    if (tabs.Tab() == 1) text = form_.SourceData;
  }
  auto convert = [&](auto function, std::string_view code) {
    converted = function(text, code);
    text = converted;
  };

  const OptionPanel& panel = controls_.panel;
  const std::string fullWidthCode = CodeOf(panel, kFullWidthButtons);
  const std::string halfWidthCode = CodeOf(panel, kHalfWidthButtons);
  if (Selects(fullWidthCode)) convert(Pembo95::ToFullWidth, fullWidthCode);
  if (Selects(halfWidthCode)) convert(Pembo95::ToHalfWidth, halfWidthCode);
  // Each later group is read only when its turn comes, after the conversions before it.
  if (const std::string_view code = CaseCode(panel); Selects(code)) {
    convert(Pembo95::ConvertLetterCase, code);
  }
  if (const std::string_view code = SpaceCode(panel); Selects(code)) {
    convert(Pembo95::ConvertSpaces, code);
  }

  auto result = [&] {
    return text.data() == converted.data() ? std::move(converted) : std::u16string(text);
  };
  if (batch) {
    form_.ResultData = result();
    return;
  }
  // The tab is read again: the user may have turned to another while the text converted.
  if (tabs.Tab() == 0) controls_.Text2.SetText(result());
  if (tabs.Tab() == 1) form_.ResultData = result();
}

}  // namespace quobrel
