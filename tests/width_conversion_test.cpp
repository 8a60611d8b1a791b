#include <gtest/gtest.h>

#include <string>

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unorm2.h>

#include <cctype>
#include <functional>
#include <map>
#include <set>

#include "engine/conversions.h"
#include "tests/yield_counter.h"

namespace quobrel::convert {
namespace {

// The classes the window's buttons select, alone and together.
constexpr WidthClasses kDigits{.digits = true};
constexpr WidthClasses kLetters{.letters = true};
constexpr WidthClasses kKatakana{.katakana = true};
constexpr WidthClasses kDigitsAndLetters{.digits = true, .letters = true};
constexpr WidthClasses kDigitsAndKatakana{.digits = true, .katakana = true};
constexpr WidthClasses kLettersAndKatakana{.letters = true, .katakana = true};
constexpr WidthClasses kDigitsLettersAndKatakana{.digits = true, .letters = true, .katakana = true};

using testing::YieldCounter;

// What ICU's compatibility mapping makes of each half-width katakana, the reference for
// the width correspondence: the full-width form, or a kana and a combining mark. The two
// half-width marks correspond to the spacing marks ゛゜, as in the JIS tables.
std::u16string IcuFullWidth(char16_t halfWidth) {
  if (halfWidth == u'ﾞ') return u"゛";
  if (halfWidth == u'ﾟ') return u"゜";
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfkc = unorm2_getNFKCInstance(&status);
  char16_t out[4];
  const int32_t length = unorm2_normalize(nfkc, reinterpret_cast<const UChar*>(&halfWidth), 1,
                                          reinterpret_cast<UChar*>(out), 4, &status);
  EXPECT_TRUE(U_SUCCESS(status));
  return std::u16string(out, static_cast<std::size_t>(length));
}

// Whether JIS X 0208 has the character: the correspondence is between JIS X 0201 and
// JIS X 0208, so ヷ and ヺ, which only Unicode composes, have no half-width form.
bool InJisX0208(char16_t c) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* cp932 = ucnv_open("windows-31j", &status);
  ucnv_setFromUCallBack(cp932, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  char bytes[4];
  const int32_t length =
      ucnv_fromUChars(cp932, bytes, 4, reinterpret_cast<const UChar*>(&c), 1, &status);
  ucnv_close(cp932);
  return U_SUCCESS(status) && length == 2;
}

// The full-width characters the katakana conversions touch, each with its half-width
// form, taken from ICU: the forms of the half-width katakana, and every composed kana of
// JIS X 0208 whose canonical decomposition is one of them and a (semi-)voiced mark.
std::map<char16_t, std::u16string> IcuKatakanaPairs() {
  std::map<char16_t, std::u16string> pairs;
  for (char16_t half = u'｡'; half <= u'ﾟ'; ++half) {
    pairs[IcuFullWidth(half)[0]] = std::u16string(1, half);
  }
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
  for (char16_t c = 0x3000; c < 0x3100; ++c) {
    UChar parts[4];
    const int32_t length = unorm2_getDecomposition(nfd, c, parts, 4, &status);
    if (length != 2 || !pairs.contains(parts[0]) || !InJisX0208(c)) continue;
    if (parts[1] != 0x3099 && parts[1] != 0x309A) continue;
    std::u16string narrow = pairs[parts[0]];
    narrow.push_back(parts[1] == 0x3099 ? u'ﾞ' : u'ﾟ');
    pairs[c] = narrow;
  }
  return pairs;
}

TEST(KatakanaWidth, AgreesWithIcusCompatibilityMappings) {
  const std::map<char16_t, std::u16string> pairs = IcuKatakanaPairs();
  EXPECT_EQ(pairs.size(), 89u);  // 63 half-width forms and 26 voiced or semi-voiced kana
  for (const auto& [full, half] : pairs) {
    EXPECT_EQ(ToHalfWidth(std::u16string(1, full), kKatakana), half) << int(full);
    EXPECT_EQ(ToFullWidth(half, kKatakana), std::u16string(1, full)) << int(full);
  }
}

// The character Unicode names "FULLWIDTH " and the name of `c`, or 0 where there is none.
char16_t FullWidthByName(char16_t c) {
  UErrorCode status = U_ZERO_ERROR;
  char name[100];
  u_charName(c, U_UNICODE_CHAR_NAME, name, sizeof name, &status);
  const std::string fullWidthName = "FULLWIDTH " + std::string(name);
  const UChar32 fullWidth = u_charFromName(U_UNICODE_CHAR_NAME, fullWidthName.c_str(), &status);
  return U_SUCCESS(status) ? static_cast<char16_t>(fullWidth) : 0;
}

bool IsAsciiDigitOrLetter(char32_t c) { return c < 0x80 && std::isalnum(static_cast<int>(c)); }

// The symbols class: printable ASCII, neither digit nor letter, and none of " ' \ ~.
bool IsSymbol(char16_t c) {
  return c > u' ' && c < 0x7F && !IsAsciiDigitOrLetter(c) &&
         std::u16string_view(u"\"'\\~").find(c) == std::u16string_view::npos;
}

constexpr WidthClasses kSymbolsOnly{.symbols = true};
constexpr WidthClasses kEveryClass{true, true, true, true};

// With the symbols selected, each symbol and no other character pairs with the character
// named "FULLWIDTH " and its name; without them, the digits and letters alone do.
TEST(SymbolWidth, PairsEachSymbolWithItsNamesakeOnlyWhenSelected) {
  std::size_t symbols = 0;
  for (char16_t c = u'!'; c <= u'~'; ++c) {
    const char16_t fullWidth = FullWidthByName(c);
    ASSERT_NE(fullWidth, 0) << int(c);
    const std::u16string half(1, c), full(1, fullWidth);
    EXPECT_EQ(ToFullWidth(half, kSymbolsOnly), IsSymbol(c) ? full : half) << int(c);
    EXPECT_EQ(ToHalfWidth(full, kSymbolsOnly), IsSymbol(c) ? half : full) << int(c);
    EXPECT_EQ(ToFullWidth(half, kDigitsLettersAndKatakana), IsAsciiDigitOrLetter(c) ? full : half);
    EXPECT_EQ(ToHalfWidth(full, kDigitsLettersAndKatakana), IsAsciiDigitOrLetter(c) ? half : full);
    symbols += IsSymbol(c);
  }
  EXPECT_EQ(symbols, 28u);
}

// The half-width conversion passes groups of eight without symbols or kana whole: a text
// converts as its characters do one by one, whatever lies together in a group.
TEST(ToHalfWidth, ConvertsAWholeTextAsItsCharactersOneByOne) {
  std::u16string inOrder, interleaved;
  for (char32_t c = 0; c < 0x10000; ++c) {
    inOrder.push_back(static_cast<char16_t>(c));
    interleaved.push_back(static_cast<char16_t>(c * 40503));  // an odd factor: each unit once
  }
  for (const WidthClasses classes : {kDigitsAndLetters, kSymbolsOnly, kEveryClass}) {
    for (const std::u16string& text : {inOrder, interleaved}) {
      std::u16string oneByOne;
      for (char16_t c : text) oneByOne += ToHalfWidth(std::u16string(1, c), classes);
      EXPECT_TRUE(ToHalfWidth(text, classes) == oneByOne);
    }
  }
}

TEST(ToHalfWidth, LeavesEveryCharacterOutsideItsClassesAlone) {
  const std::map<char16_t, std::u16string> katakana = IcuKatakanaPairs();
  std::set<char16_t> fullWidthAscii;  // of the digits, letters and symbols
  for (char16_t c = u'!'; c <= u'~'; ++c) {
    if (IsAsciiDigitOrLetter(c) || IsSymbol(c)) fullWidthAscii.insert(FullWidthByName(c));
  }
  for (char32_t c = 0; c < 0x10000; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    if (fullWidthAscii.contains(unit) || katakana.contains(unit)) continue;
    ASSERT_EQ(ToHalfWidth(std::u16string(1, unit), kEveryClass), std::u16string(1, unit)) << int(c);
  }
}

TEST(ToFullWidth, LeavesEveryCharacterOutsideItsClassesAlone) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    const bool halfWidthKatakana = c >= U'｡' && c <= U'ﾟ';
    if (IsAsciiDigitOrLetter(c) || IsSymbol(unit) || halfWidthKatakana) continue;
    ASSERT_EQ(ToFullWidth(std::u16string(1, unit), kEveryClass), std::u16string(1, unit)) << int(c);
  }
}

TEST(ToHalfWidth, ConvertsOnlyTheSelectedClasses) {
  EXPECT_EQ(ToHalfWidth(u"ガヴパ゛゜「テスト」", kKatakana), u"ｶﾞｳﾞﾊﾟﾞﾟ｢ﾃｽﾄ｣");
  EXPECT_EQ(ToHalfWidth(u"ヰヱヮヵヶあがＡ１", kKatakana), u"ヰヱヮヵヶあがＡ１");
  EXPECT_EQ(ToHalfWidth(u"０９Ａｚ", kDigits), u"09Ａｚ");
  EXPECT_EQ(ToHalfWidth(u"０９Ａｚ", kLetters), u"０９Az");
  EXPECT_EQ(ToHalfWidth(u"、・", kDigitsAndLetters), u"、・");
  EXPECT_EQ(ToHalfWidth(u"、・", kKatakana), u"､･");
  EXPECT_EQ(ToHalfWidth(u"　", kDigitsLettersAndKatakana), u"　");
  EXPECT_EQ(ToHalfWidth(u"", kDigitsLettersAndKatakana), u"");
}

TEST(ToFullWidth, ComposesAMarkWithTheKanaDirectlyBeforeIt) {
  EXPECT_EQ(ToFullWidth(u"ｶﾞｷﾞｸﾞ", kKatakana), u"ガギグ");
  EXPECT_EQ(ToFullWidth(u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", kKatakana), u"パピプペポ");
  EXPECT_EQ(ToFullWidth(u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", kKatakana),
            u"バビブベボザジズゼゾダヂヅデド");
  EXPECT_EQ(ToFullWidth(u"ｳﾞｧ", kKatakana), u"ヴァ");
  EXPECT_EQ(ToFullWidth(u"ｱﾞ", kKatakana), u"ア゛");
  EXPECT_EQ(ToFullWidth(u"ﾜﾞｶﾟ", kKatakana), u"ワ゛カ゜");
  EXPECT_EQ(ToFullWidth(u"ﾞｶ", kKatakana), u"゛カ");
  EXPECT_EQ(ToFullWidth(u"ｶﾞﾞ", kKatakana), u"ガ゛");
  EXPECT_EQ(ToFullWidth(u"ｶ ﾞ", kKatakana), u"カ ゛");
  EXPECT_EQ(ToFullWidth(u"ﾃｽﾄ", kKatakana), u"テスト");
  EXPECT_EQ(ToFullWidth(u"｢ｺｰﾋｰ｣｡", kKatakana), u"「コーヒー」。");
}

TEST(ToFullWidth, DigitsAndLettersEndARunAndConvertOnlyWhenSelected) {
  EXPECT_EQ(ToFullWidth(u"ｶﾞ1", kDigitsAndKatakana), u"ガ１");
  EXPECT_EQ(ToFullWidth(u"ｶﾞ1", kKatakana), u"ガ1");
  EXPECT_EQ(ToFullWidth(u"ｶa ﾞＢ", kLettersAndKatakana), u"カａ ゛Ｂ");
  EXPECT_EQ(ToFullWidth(u"aＢ1ｶﾞ", kLetters), u"ａＢ1ｶﾞ");
  EXPECT_EQ(ToFullWidth(u"aＢ1ｶﾞ", kDigits), u"aＢ１ｶﾞ");
  EXPECT_EQ(ToFullWidth(u"", kDigitsLettersAndKatakana), u"");
}

TEST(ToFullWidth, ComposesAcrossTheEngineBlocks) {
  // The mark lands on every side of a block boundary somewhere in this text.
  std::u16string text, expected;
  for (int i = 0; i < 40000; ++i) {
    text += i % 3 == 0 ? u"ｶﾞ" : u"x";
    expected += i % 3 == 0 ? u"ガ" : u"x";
  }
  EXPECT_EQ(ToFullWidth(text, kKatakana), expected);
}

TEST(CharacterConversions, OweOneYieldPerCharacterScanned) {
  const std::u16string text = std::u16string(50000, u'ｶ') + u"ﾞ";
  const std::function<void()> conversions[] = {
      [&] { ToHalfWidth(text, kDigitsAndKatakana); },
      [&] { ToFullWidth(text, kDigitsAndKatakana); },
      [&] { ConvertKanaScript(text, KanaScript::Hiragana); },
      [&] { ConvertLetterCase(text, CaseChange{.halfWidth = true, .toUpper = true}); },
      [&] { ConvertSpaces(text, SpaceMode::PairsToFullWidth); }};
  for (const auto& conversion : conversions) {
    YieldCounter counter;
    conversion();
    EXPECT_EQ(counter.total, text.size());
    EXPECT_GT(counter.calls, 1u) << "a long text yields more than once";
  }
  YieldCounter counter;
  ToFullWidth(u"", kDigitsLettersAndKatakana);
  EXPECT_EQ(counter.calls, 0u);
}

}  // namespace
}  // namespace quobrel::convert
