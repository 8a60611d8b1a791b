#include <gtest/gtest.h>

#include <string>

#include "katakana_tables.h"
#include "pembo95.h"
#include "yield_counter.h"

namespace quobrel::Pembo95 {
namespace {

using testing::YieldCounter;

TEST(ToHalfWidth, EveryKatakanaTableMemberNarrowsAndWidensBack) {
  for (char16_t member : KatakanaTable) {
    const std::u16string one(1, member);
    const std::u16string narrow = ToHalfWidth(one, "001");
    ASSERT_NE(narrow, one);
    for (char16_t c : narrow) EXPECT_TRUE(c >= u'｡' && c <= u'ﾟ');
    EXPECT_EQ(ToFullWidth(narrow, "001"), one);
  }
}

TEST(ToHalfWidth, LeavesEveryCharacterOutsideItsClassesAlone) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    const bool fullWidthDigitOrLetter =
        (c >= U'０' && c <= U'９') || (c >= U'Ａ' && c <= U'Ｚ') || (c >= U'ａ' && c <= U'ｚ');
    if (fullWidthDigitOrLetter || KatakanaTable.find(unit) != std::u16string_view::npos) continue;
    ASSERT_EQ(ToHalfWidth(std::u16string(1, unit), "111"), std::u16string(1, unit)) << int(c);
  }
}

TEST(ToHalfWidth, ConvertsOnlyTheSelectedClasses) {
  EXPECT_EQ(ToHalfWidth(u"ガヴパ゛゜「テスト」", "001"), u"ｶﾞｳﾞﾊﾟﾞﾟ｢ﾃｽﾄ｣");
  EXPECT_EQ(ToHalfWidth(u"ヰヱヮヵヶあがＡ１", "001"), u"ヰヱヮヵヶあがＡ１");
  EXPECT_EQ(ToHalfWidth(u"０９Ａｚ", "100"), u"09Ａｚ");
  EXPECT_EQ(ToHalfWidth(u"０９Ａｚ", "010"), u"０９Az");
  EXPECT_EQ(ToHalfWidth(u"、・", "110"), u"、・");
  EXPECT_EQ(ToHalfWidth(u"、・", "001"), u"､･");
  EXPECT_EQ(ToHalfWidth(u"　", "111"), u"　");
  EXPECT_EQ(ToHalfWidth(u"", "111"), u"");
}

TEST(ToFullWidth, ComposesAMarkWithTheKanaDirectlyBeforeIt) {
  EXPECT_EQ(ToFullWidth(u"ｶﾞｷﾞｸﾞ", "001"), u"ガギグ");
  EXPECT_EQ(ToFullWidth(u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "001"), u"パピプペポ");
  EXPECT_EQ(ToFullWidth(u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "001"),
            u"バビブベボザジズゼゾダヂヅデド");
  EXPECT_EQ(ToFullWidth(u"ｳﾞｧ", "001"), u"ヴァ");
  EXPECT_EQ(ToFullWidth(u"ｱﾞ", "001"), u"ア゛");
  EXPECT_EQ(ToFullWidth(u"ﾜﾞｶﾟ", "001"), u"ワ゛カ゜");
  EXPECT_EQ(ToFullWidth(u"ﾞｶ", "001"), u"゛カ");
  EXPECT_EQ(ToFullWidth(u"ｶﾞﾞ", "001"), u"ガ゛");
  EXPECT_EQ(ToFullWidth(u"ｶ ﾞ", "001"), u"カ ゛");
  EXPECT_EQ(ToFullWidth(u"ﾃｽﾄ", "001"), u"テスト");
  EXPECT_EQ(ToFullWidth(u"｢ｺｰﾋｰ｣｡", "001"), u"「コーヒー」。");
}

TEST(ToFullWidth, DigitsAndLettersEndARunAndConvertOnlyWhenSelected) {
  EXPECT_EQ(ToFullWidth(u"ｶﾞ1", "101"), u"ガ１");
  EXPECT_EQ(ToFullWidth(u"ｶﾞ1", "001"), u"ガ1");
  EXPECT_EQ(ToFullWidth(u"ｶa ﾞＢ", "011"), u"カａ ゛Ｂ");
  EXPECT_EQ(ToFullWidth(u"aＢ1ｶﾞ", "010"), u"ａＢ1ｶﾞ");
  EXPECT_EQ(ToFullWidth(u"aＢ1ｶﾞ", "100"), u"aＢ１ｶﾞ");
  EXPECT_EQ(ToFullWidth(u"", "111"), u"");
}

TEST(ToFullWidth, ComposesAcrossTheEngineBlocks) {
  // The mark lands on every side of a block boundary somewhere in this text.
  std::u16string text, expected;
  for (int i = 0; i < 40000; ++i) {
    text += i % 3 == 0 ? u"ｶﾞ" : u"x";
    expected += i % 3 == 0 ? u"ガ" : u"x";
  }
  EXPECT_EQ(ToFullWidth(text, "001"), expected);
}

TEST(CharacterConversions, OweOneYieldPerCharacterScanned) {
  const std::u16string text = std::u16string(50000, u'ｶ') + u"ﾞ";
  for (auto convert : {ToHalfWidth, ToFullWidth, ConvertLetterCase, ConvertSpaces}) {
    YieldCounter counter;
    convert(text, "101");
    EXPECT_EQ(counter.total, text.size());
    EXPECT_GT(counter.calls, 1u) << "a long text yields more than once";
  }
  YieldCounter counter;
  ToFullWidth(u"", "111");
  EXPECT_EQ(counter.calls, 0u);
}

}  // namespace
}  // namespace quobrel::Pembo95
