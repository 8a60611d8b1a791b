#include "character_classes.h"
#include "option_code.h"
#include "pembo95.h"
#include "text_builder.h"

namespace quobrel::Pembo95 {
namespace {

inline constexpr char16_t kCaseDistance = u'a' - u'A';
static_assert(u'ａ' - u'Ａ' == kCaseDistance);

constexpr bool IsUpperCaseLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'Ａ' && c <= u'Ｚ');
}

}  // namespace

std::u16string ConvertLetterCase(std::u16string_view text, std::string_view caseCode) {
  const auto [halfWidth, fullWidth, toUpper] = ReadCode(caseCode);
  auto convert = [=](auto& sink, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const char16_t c = text[i];
      const bool selected =
          (halfWidth && IsHalfWidthLatinLetter(c)) || (fullWidth && IsFullWidthLatinLetter(c));
      if (selected && IsUpperCaseLetter(c) != toUpper) {
        sink.Put(toUpper ? c - kCaseDistance : c + kCaseDistance);
      } else {
        sink.Put(c);
      }
    }
    return to;
  };
  return ProduceText(text.size(), convert, /*resultHasTextLength=*/true);
}

}  // namespace quobrel::Pembo95
