#include "engine/conversion_chain.h"

#include <utility>

namespace quobrel::convert {

std::u16string ConvertStepByStep(std::u16string text,
                                 const std::function<ConversionChain()>& current) {
  if (const KanaScript to = current().script; to != KanaScript::Unchanged)
    text = ConvertKanaScript(text, to);
  if (const WidthClasses classes = current().toFullWidth; classes.Any())
    text = ToFullWidth(text, classes);
  if (const WidthClasses classes = current().toHalfWidth; classes.Any())
    text = ToHalfWidth(text, classes);
  if (const CaseChange change = current().letterCase; change.Any())
    text = ConvertLetterCase(text, change);
  if (const SpaceMode mode = current().spaces; mode != SpaceMode::Unchanged)
    text = ConvertSpaces(text, mode);
  return text;
}

std::u16string ConvertStepByStep(std::u16string text, const ConversionChain& chain) {
  return ConvertStepByStep(std::move(text), [&chain] { return chain; });
}

}  // namespace quobrel::convert
