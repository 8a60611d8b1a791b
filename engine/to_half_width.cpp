#include "engine/conversions.h"
#include "internal/char_map.h"
#include "internal/character_classes.h"
#include "internal/katakana_tables.h"
#include "internal/text_builder.h"

namespace quobrel::convert {

std::u16string ToHalfWidth(std::u16string_view text, WidthClasses classes) {
  const bool digits = classes.digits, letters = classes.letters, katakana = classes.katakana;
  const bool symbols = classes.symbols;
  CharMap narrow;
  if (digits) narrow.SetRange(kFullWidthDigits, -kWidthOffset);
  if (letters) {
    narrow.SetRange(kFullWidthCapitals, -kWidthOffset);
    narrow.SetRange(kFullWidthSmallLetters, -kWidthOffset);
  }
  if (katakana) {
    for (char16_t member : kKatakanaTable) {
      const NarrowKana kana = NarrowKatakana(member);
      narrow.Set(member, kana.first, kana.second);
    }
  }
  if (symbols) {
    for (char16_t symbol : kHalfWidthSymbols)
      narrow.Set(static_cast<char16_t>(symbol + kWidthOffset), symbol);
  }

  const LaneMask none{};
  // Digits and letters narrow by one offset, a whole group at a time; a group holding a
  // member of kKatakanaTable, or a full-width symbol, goes through the map one character at
  // a time.
  auto convertLanes = [=](Lanes lanes, TextWriter& out) {
    const LaneMask narrowed = (digits ? LanesInRange(lanes, kFullWidthDigits) : none) |
                              (letters ? LanesInRange(lanes, kFullWidthCapitals) |
                                             LanesInRange(lanes, kFullWidthSmallLetters)
                                       : none);
    out.Put(lanes - Where(narrowed, kWidthOffset));
  };
  auto oneByOne = [=](std::size_t i) {
    const Lanes lanes = LoadLanes(text.data() + i);
    // Where the members of kKatakanaTable lie; hiragana, between them, are not looked at.
    const LaneMask kana = katakana ? LanesInRange(lanes, {u'、', u'」'}) |
                                         LanesInRange(lanes, {u'゛', u'゜'}) |
                                         LanesInRange(lanes, {u'ァ', u'ー'})
                                   : none;
    // The symbols lie among the digits and letters, which the map holds as well.
    return kana | (symbols ? LanesInRange(lanes, kFullWidthAscii) : none);
  };
  auto convertOne = [&](std::size_t i, TextWriter& out) {
    const char16_t c = text[i];
    const CharMap::Entry& entry = narrow[c];
    out.PutFirst(static_cast<char16_t>(c + entry.delta), entry.second, 1 + (entry.second != 0));
  };

  // A voiced or semi-voiced kana is the only character that narrows into two.
  const std::size_t voicedKana =
      !katakana ? 0
                : CountWhere(
                      text,
                      [text](std::size_t i) {
                        return LanesInRange(LoadLanes(text.data() + i), {u'ガ', u'ヴ'});
                      },
                      [&](std::size_t i) { return narrow[text[i]].second != 0; });
  return ProduceText(text, text.size() + voicedKana,
                     [&](TextWriter& out, std::size_t from, std::size_t to) {
                       ConvertBlock(text, from, to, out, oneByOne, convertLanes, convertOne);
                     });
}

}  // namespace quobrel::convert
