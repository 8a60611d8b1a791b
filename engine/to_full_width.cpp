#include "engine/conversions.h"
#include "internal/char_map.h"
#include "internal/character_classes.h"
#include "internal/katakana_tables.h"
#include "internal/text_builder.h"

namespace quobrel::convert {

// Half-width katakana widen one by one, and a voiced or semi-voiced mark that follows a
// kana with a composed form replaces that kana's full-width form. Anything that is not
// half-width katakana ends a run, so a mark after it stands alone. A kana is never a mark,
// so every kana-and-mark pair composes, and the result's length is known before the scan.
std::u16string ToFullWidth(std::u16string_view text, WidthClasses classes) {
  const bool digits = classes.digits, letters = classes.letters, katakana = classes.katakana;
  CharMap widen;
  if (digits) widen.SetRange(kHalfWidthDigits, kWidthOffset);
  if (letters) {
    widen.SetRange(kHalfWidthCapitals, kWidthOffset);
    widen.SetRange(kHalfWidthSmallLetters, kWidthOffset);
  }
  if (katakana) {
    for (char16_t kana : kHalfWidthKatakanaInOrder) widen.Set(kana, WidenKatakana(kana));
  }
  if (classes.symbols) {
    for (char16_t symbol : kHalfWidthSymbols)
      widen.Set(symbol, static_cast<char16_t>(symbol + kWidthOffset));
  }

  // One character at a time: in Japanese text the kana are too thickly sown for groups
  // of eight to pass whole.
  auto convertBlock = [&](TextWriter& out, std::size_t from, std::size_t to) {
    char16_t* result = out.Position();
    for (std::size_t i = from; i < to; ++i) {
      const char16_t c = text[i];
      if (katakana && IsVoicedMark(c) && i > 0) [[unlikely]] {
        if (const char16_t composed = ComposeKatakana(text[i - 1], c)) {
          result[-1] = composed;
          continue;
        }
      }
      *result++ = widen.First(c);
    }
    out.MoveTo(result);
  };

  const std::size_t compositions =
      !katakana
          ? 0
          : CountWhere(
                text,
                [text](std::size_t i) {
                  return LanesInRange(LoadLanes(text.data() + i), {kVoicedMark, kSemiVoicedMark});
                },
                [text](std::size_t i) {
                  return i > 0 && ComposeKatakana(text[i - 1], text[i]) != 0;
                });
  return ProduceText(text, text.size() - compositions, convertBlock);
}

}  // namespace quobrel::convert
