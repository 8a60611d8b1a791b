// The character classes that the conversions test. Ranges compare code unit values.
#pragma once

namespace quobrel::convert {

struct CharRange {
  char16_t first;
  char16_t last;
  constexpr bool Contains(char16_t c) const { return c >= first && c <= last; }
};

inline constexpr CharRange kHalfWidthDigits{u'0', u'9'};
inline constexpr CharRange kFullWidthDigits{u'０', u'９'};
inline constexpr CharRange kHalfWidthCapitals{u'A', u'Z'};
inline constexpr CharRange kHalfWidthSmallLetters{u'a', u'z'};
inline constexpr CharRange kFullWidthCapitals{u'Ａ', u'Ｚ'};
inline constexpr CharRange kFullWidthSmallLetters{u'ａ', u'ｚ'};
// The single-byte codes 161 to 223 of code page 932, from "｡" to "ﾟ".
inline constexpr CharRange kHalfWidthKatakana{u'｡', u'ﾟ'};

// Full-width digits and Latin letters lie this far above their half-width forms, and
// small letters this far above capitals.
inline constexpr char16_t kWidthOffset = u'０' - u'0';
static_assert(kFullWidthCapitals.first - kHalfWidthCapitals.first == kWidthOffset);
static_assert(kFullWidthSmallLetters.last - kHalfWidthSmallLetters.last == kWidthOffset);
inline constexpr char16_t kCaseDistance = u'a' - u'A';
static_assert(kFullWidthSmallLetters.first - kFullWidthCapitals.first == kCaseDistance);

inline constexpr char16_t kFullWidthSpace = u'　';
// The character of the single-byte code 160: NO-BREAK SPACE.
inline constexpr char16_t kCode160Space = u'\u00A0';

constexpr bool IsHalfWidthSpace(char16_t c) { return c == u' ' || c == kCode160Space; }

}  // namespace quobrel::convert
