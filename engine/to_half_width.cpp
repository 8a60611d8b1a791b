#include "character_classes.h"
#include "katakana_tables.h"
#include "option_code.h"
#include "pembo95.h"
#include "text_builder.h"

namespace quobrel::Pembo95 {

std::u16string ToHalfWidth(std::u16string_view text, std::string_view optionCode) {
  const auto [digits, letters, katakana] = ReadCode(optionCode);
  auto convert = [=](auto& sink, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const char16_t c = text[i];
      if ((digits && IsFullWidthDigit(c)) || (letters && IsFullWidthLatinLetter(c))) {
        sink.Put(c - kWidthOffset);
        continue;
      }
      const NarrowKana narrow = katakana ? NarrowKatakana(c) : NarrowKana{};
      if (narrow.first == 0) {
        sink.Put(c);
        continue;
      }
      sink.Put(narrow.first);
      if (narrow.second != 0) sink.Put(narrow.second);
    }
    return to;
  };
  // Only a voiced kana, narrowed to two characters, changes the length.
  return ProduceText(text.size(), convert, /*resultHasTextLength=*/!katakana);
}

}  // namespace quobrel::Pembo95
