// The character classes that the conversions test. Ranges compare code unit values.
#pragma once

namespace quobrel::Pembo95 {

// Full-width digits and Latin letters lie this far above their half-width forms.
inline constexpr char16_t kWidthOffset = u'０' - u'0';
static_assert(u'Ａ' - u'A' == kWidthOffset && u'ｚ' - u'z' == kWidthOffset);

inline constexpr char16_t kFullWidthSpace = u'　';
// The character of the single-byte code 160: NO-BREAK SPACE.
inline constexpr char16_t kCode160Space = u'\u00A0';

constexpr bool IsHalfWidthDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsFullWidthDigit(char16_t c) { return c >= u'０' && c <= u'９'; }

constexpr bool IsHalfWidthLatinLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
constexpr bool IsFullWidthLatinLetter(char16_t c) {
  return (c >= u'Ａ' && c <= u'Ｚ') || (c >= u'ａ' && c <= u'ｚ');
}

// U+FF61 to U+FF9F: the single-byte codes 161 to 223 of code page 932, from "｡" to "ﾟ".
constexpr bool IsHalfWidthKatakana(char16_t c) { return c >= u'｡' && c <= u'ﾟ'; }

constexpr bool IsHalfWidthSpace(char16_t c) { return c == u' ' || c == kCode160Space; }

}  // namespace quobrel::Pembo95
