#include <gtest/gtest.h>

#include <unicode/translit.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/conversions.h"

namespace quobrel::convert {
namespace {

std::u16string IcuTransliterate(const char* id, const std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<icu::Transliterator> transliterator(
      icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
  EXPECT_TRUE(U_SUCCESS(status)) << id;
  icu::UnicodeString result(text.data(), static_cast<int32_t>(text.size()));
  transliterator->transliterate(result);
  return {result.getBuffer(), static_cast<std::size_t>(result.length())};
}

// Where ICU's transliterators and we part: the character, what ICU makes of it, what we do.
struct Departure {
  char16_t character;
  std::u16string_view icu;
  std::u16string_view ours;
};

constexpr Departure kToHiraganaDepartures[] = {
    // ICU makes the small ヵ ヶ full-size; we keep their size.
    {u'ヵ', u"か", u"ゕ"},
    {u'ヶ', u"け", u"ゖ"},
    // ICU adds a combining voiced mark to a hiragana; with no hiragana of their own, they stay.
    {u'ヷ', u"わ\u3099", u"ヷ"},
    {u'ヸ', u"ゐ\u3099", u"ヸ"},
    {u'ヹ', u"ゑ\u3099", u"ヹ"},
    {u'ヺ', u"を\u3099", u"ヺ"},
    // ICU spells the digraphs out; they stay.
    {u'ゟ', u"より", u"ゟ"},
    {u'ヿ', u"こと", u"ヿ"},
};

constexpr Departure kToKatakanaDepartures[] = {
    // ICU leaves the small ゕ ゖ.
    {u'ゕ', u"ゕ", u"ヵ"},
    {u'ゖ', u"ゖ", u"ヶ"},
    // ICU spells the digraphs out; they stay.
    {u'ゟ', u"ヨリ", u"ゟ"},
    {u'ヿ', u"コト", u"ヿ"},
};

// Every character of the CJK punctuation, hiragana and katakana blocks, one by one against
// ICU, and all of them as one text, which passes through in groups.
void ExpectAgreesWithIcu(const char* icuId, KanaScript to, std::span<const Departure> departures) {
  std::u16string block, expected;
  for (char16_t c = u'\u3000'; c <= u'\u30FF'; ++c) {
    const std::u16string character(1, c);
    const std::u16string icu = IcuTransliterate(icuId, character);
    const std::u16string ours = ConvertKanaScript(character, to);
    const auto departure = std::ranges::find(departures, c, &Departure::character);
    if (departure != departures.end()) {
      EXPECT_EQ(icu, departure->icu) << icuId << " " << int(c);
      EXPECT_EQ(ours, departure->ours) << icuId << " " << int(c);
    } else {
      EXPECT_EQ(ours, icu) << icuId << " " << int(c);
    }
    block += character;
    expected += ours;
  }
  EXPECT_EQ(ConvertKanaScript(block, to), expected);
}

TEST(KanaScript, AgreesWithIcuSaveForTheStatedDepartures) {
  ExpectAgreesWithIcu("Katakana-Hiragana", KanaScript::Hiragana, kToHiraganaDepartures);
  ExpectAgreesWithIcu("Hiragana-Katakana", KanaScript::Katakana, kToKatakanaDepartures);
}

TEST(KanaScript, RoundTripsTheKanaAndLeavesEverythingElseAlone) {
  std::u16string hiragana, katakana, others;
  for (char32_t c = 0; c < 0x10000; ++c) {
    const bool kana = c >= 0x3040 && c <= 0x30FF;
    (!kana ? others : c < 0x30A0 ? hiragana : katakana).push_back(static_cast<char16_t>(c));
  }
  using enum KanaScript;
  EXPECT_EQ(ConvertKanaScript(ConvertKanaScript(hiragana, Katakana), Hiragana), hiragana);
  EXPECT_EQ(ConvertKanaScript(ConvertKanaScript(katakana, Hiragana), Katakana), katakana);
  EXPECT_EQ(ConvertKanaScript(hiragana + katakana, Unchanged), hiragana + katakana);
  for (KanaScript to : {Hiragana, Katakana})
    EXPECT_TRUE(ConvertKanaScript(others, to) == others) << static_cast<int>(to);
}

}  // namespace
}  // namespace quobrel::convert
