#include "character_classes.h"
#include "katakana_tables.h"
#include "option_code.h"
#include "pembo95.h"
#include "text_builder.h"

namespace quobrel::Pembo95 {

// A run of half-width katakana is widened as it is read: each kana looks at the character
// after it, and a voiced or semi-voiced mark there composes with it when the composed kana
// exists. Anything that is not half-width katakana ends the run, so a mark after it stands
// alone.
std::u16string ToFullWidth(std::u16string_view text, std::string_view optionCode) {
  const auto [digits, letters, katakana] = ReadCode(optionCode);
  auto convert = [=](auto& sink, std::size_t from, std::size_t to) {
    std::size_t i = from;
    while (i < to) {
      const char16_t c = text[i++];
      if ((digits && IsHalfWidthDigit(c)) || (letters && IsHalfWidthLatinLetter(c))) {
        sink.Put(c + kWidthOffset);
      } else if (katakana && IsHalfWidthKatakana(c)) {
        const char16_t next = i < text.size() ? text[i] : u'\0';
        const char16_t composed =
            next == kVoicedMark || next == kSemiVoicedMark ? ComposeKatakana(c, next) : u'\0';
        if (composed != 0) {
          sink.Put(composed);
          ++i;
        } else {
          sink.Put(WidenKatakana(c));
        }
      } else {
        sink.Put(c);
      }
    }
    return i;
  };
  // Only a composition, two characters into one, changes the length.
  return ProduceText(text.size(), convert, /*resultHasTextLength=*/!katakana);
}

}  // namespace quobrel::Pembo95
