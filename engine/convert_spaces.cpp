#include "character_classes.h"
#include "option_code.h"
#include "pembo95.h"
#include "text_builder.h"

namespace quobrel::Pembo95 {
namespace {

// Two adjacent half-width spaces become one full-width space; a half-width space left
// over (alone, or the odd one of a run) comes out as U+0020.
std::u16string PairSpaces(std::u16string_view text) {
  auto convert = [text, held = false](auto& sink, std::size_t from, std::size_t to) mutable {
    for (std::size_t i = from; i < to; ++i) {
      const char16_t c = text[i];
      if (IsHalfWidthSpace(c)) {
        if (held) sink.Put(kFullWidthSpace);
        held = !held;
        continue;
      }
      if (held) sink.Put(u' ');
      held = false;
      sink.Put(c);
    }
    if (to == text.size() && held) sink.Put(u' ');
    return to;
  };
  return ProduceText(text.size(), convert);
}

template <class IsSpace>
std::u16string MapSpaces(std::u16string_view text, IsSpace isSpace, char16_t into) {
  auto convert = [=](auto& sink, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) sink.Put(isSpace(text[i]) ? into : text[i]);
    return to;
  };
  return ProduceText(text.size(), convert, /*resultHasTextLength=*/true);
}

}  // namespace

std::u16string ConvertSpaces(std::u16string_view text, std::string_view spaceCode) {
  const auto [halfToFull, fullToHalf, pairsOnly] = ReadCode(spaceCode);
  if (halfToFull) {
    return pairsOnly ? PairSpaces(text) : MapSpaces(text, IsHalfWidthSpace, kFullWidthSpace);
  }
  if (fullToHalf)
    return MapSpaces(
        text, [](char16_t c) { return c == kFullWidthSpace; }, u' ');
  return std::u16string(text);
}

}  // namespace quobrel::Pembo95
