#include "conversion/convert_command.h"

#include <utility>

#include "engine/conversions.h"

namespace quobrel {
namespace {

// The classes of characters `options` takes to `width`.
convert::WidthClasses ClassesOf(const Options& options, Width width) {
  return {.digits = options.digits == width,
          .letters = options.letters == width,
          .katakana = options.katakana == width,
          .symbols = options.symbols == width};
}

// Each conversion takes its options from `current()` as its turn comes.
template <class Current>
std::u16string ConvertInTurn(std::u16string text, const Current& current) {
  if (const auto to = KanaScriptOf(current().kana); to != convert::KanaScript::Unchanged)
    text = convert::ConvertKanaScript(text, to);
  if (const auto classes = ClassesOf(current(), Width::Full); classes.Any())
    text = convert::ToFullWidth(text, classes);
  if (const auto classes = ClassesOf(current(), Width::Half); classes.Any())
    text = convert::ToHalfWidth(text, classes);
  if (const auto change = CaseChangeOf(current().letterCase); change.Any())
    text = convert::ConvertLetterCase(text, change);
  if (const auto mode = SpaceModeOf(current().spaces); mode != convert::SpaceMode::Unchanged)
    text = convert::ConvertSpaces(text, mode);
  return text;
}

}  // namespace

std::u16string ConvertText(std::u16string text, const Options& options) {
  return ConvertInTurn(std::move(text), [&options]() -> const Options& { return options; });
}

void ConvertCommand::Run() const {
  if (controls_.tabs.Current() != Tab::ConvertText) return;
  std::u16string result =
      ConvertInTurn(controls_.source.Text(), [this] { return controls_.options.Current(); });
  // The tab is read again: the user may have turned to another while the text converted.
  if (controls_.tabs.Current() == Tab::ConvertText) controls_.destination.SetText(result);
}

}  // namespace quobrel
