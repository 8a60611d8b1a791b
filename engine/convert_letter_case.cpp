#include "engine/conversions.h"
#include "internal/char_map.h"
#include "internal/character_classes.h"
#include "internal/text_builder.h"

namespace quobrel::convert {

std::u16string ConvertLetterCase(std::u16string_view text, CaseChange caseChange) {
  const bool halfWidth = caseChange.halfWidth, fullWidth = caseChange.fullWidth;
  const bool toUpper = caseChange.toUpper;
  // The letters that change: the lower-case ones on the way up, the upper-case ones down.
  const CharRange halfWidthChanging = toUpper ? kHalfWidthSmallLetters : kHalfWidthCapitals;
  const CharRange fullWidthChanging = toUpper ? kFullWidthSmallLetters : kFullWidthCapitals;
  const int shift = toUpper ? -kCaseDistance : kCaseDistance;
  CharMap change;
  if (halfWidth) change.SetRange(halfWidthChanging, shift);
  if (fullWidth) change.SetRange(fullWidthChanging, shift);

  const LaneMask none{};
  auto convertLanes = [=](Lanes lanes, TextWriter& out) {
    const LaneMask changed = (halfWidth ? LanesInRange(lanes, halfWidthChanging) : none) |
                             (fullWidth ? LanesInRange(lanes, fullWidthChanging) : none);
    out.Put(lanes + Where(changed, static_cast<char16_t>(shift)));
  };
  auto oneByOne = [none](std::size_t) { return none; };
  auto convertOne = [&](std::size_t i, TextWriter& out) { out.Put(change.First(text[i])); };
  return ProduceText(text, text.size(), [&](TextWriter& out, std::size_t from, std::size_t to) {
    ConvertBlock(text, from, to, out, oneByOne, convertLanes, convertOne);
  });
}

}  // namespace quobrel::convert
