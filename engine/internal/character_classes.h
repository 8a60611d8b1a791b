// The character classes that the conversions test. Ranges compare code unit values.
#pragma once

#include <string_view>

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

// The printable ASCII characters other than digits and letters that have a width
// conversion, in code order. Left out: " and ', for which Japanese text writes the quotation
// marks ” and ’ (JIS X 0208 has no straight ones), and \ and ~, in whose places JIS X 0201
// has the yen sign and the overline, so that their full-width counterparts are in doubt.
inline constexpr std::u16string_view kHalfWidthSymbols = u"!#$%&()*+,-./:;<=>?@[]^_`{|}";
// The full-width forms of all the printable ASCII characters.
inline constexpr CharRange kFullWidthAscii{u'！', u'～'};
static_assert(kFullWidthAscii.first == u'!' + kWidthOffset &&
              kFullWidthAscii.last == u'~' + kWidthOffset);

namespace detail {

// Strictly ascending, printable, neither a digit nor a letter, none of the four left out:
// with the size below, exactly the 94 − 10 − 52 − 4 characters described above.
constexpr bool IsSymbolTable(std::u16string_view symbols) {
  constexpr std::u16string_view kLeftOut = u"\"'\\~";
  char16_t previous = u' ';
  for (char16_t c : symbols) {
    const bool digitOrLetter = kHalfWidthDigits.Contains(c) || kHalfWidthCapitals.Contains(c) ||
                               kHalfWidthSmallLetters.Contains(c);
    if (c <= previous || c > u'~' || digitOrLetter || kLeftOut.find(c) != kLeftOut.npos)
      return false;
    previous = c;
  }
  return true;
}
static_assert(IsSymbolTable(kHalfWidthSymbols) && kHalfWidthSymbols.size() == 94 - 10 - 52 - 4);

}  // namespace detail

inline constexpr char16_t kFullWidthSpace = u'　';
// The character of the single-byte code 160: NO-BREAK SPACE.
inline constexpr char16_t kCode160Space = u'\u00A0';

constexpr bool IsHalfWidthSpace(char16_t c) { return c == u' ' || c == kCode160Space; }

}  // namespace quobrel::convert
