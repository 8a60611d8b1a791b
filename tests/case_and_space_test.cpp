#include <gtest/gtest.h>

#include "pembo95.h"

namespace quobrel::Pembo95 {
namespace {

TEST(ConvertLetterCase, EachCodeTouchesItsWidthsInItsDirection) {
  const std::u16string text = u"xｙZ";
  EXPECT_EQ(ConvertLetterCase(text, "111"), u"XＹZ");
  EXPECT_EQ(ConvertLetterCase(text, "101"), u"XｙZ");
  EXPECT_EQ(ConvertLetterCase(text, "011"), u"xＹZ");
  EXPECT_EQ(ConvertLetterCase(text, "100"), u"xｙz");
  EXPECT_EQ(ConvertLetterCase(text, "010"), u"xｙZ");
  EXPECT_EQ(ConvertLetterCase(text, "110"), u"xｙz");
}

TEST(ConvertLetterCase, TouchesOnlyTheBasicLatinLetters) {
  const std::u16string others = u"éÉßΣσЖж@[`{＠［｀｛09０９あア漢";
  EXPECT_EQ(ConvertLetterCase(others, "111"), others);
  EXPECT_EQ(ConvertLetterCase(others, "110"), others);
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", "111"), u"AZAZＡＺＡＺ");
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", "110"), u"azazａｚａｚ");
  EXPECT_EQ(ConvertLetterCase(u"", "111"), u"");
}

TEST(ConvertSpaces, PairsAdjacentHalfWidthSpaces) {
  EXPECT_EQ(ConvertSpaces(u"x  y", "101"), u"x　y");
  EXPECT_EQ(ConvertSpaces(u"x   y", "101"), u"x　 y");
  EXPECT_EQ(ConvertSpaces(u"x y", "101"), u"x y");
  EXPECT_EQ(ConvertSpaces(u"    ", "101"), u"　　");
  EXPECT_EQ(ConvertSpaces(u"x ", "101"), u"x ");
  EXPECT_EQ(ConvertSpaces(u" ", "101"), u" ");
  EXPECT_EQ(ConvertSpaces(u"\u00A0 ", "101"), u"　");
  EXPECT_EQ(ConvertSpaces(u"\u00A0x", "101"), u" x");
  EXPECT_EQ(ConvertSpaces(u" \r\n  ", "101"), u" \r\n　");
  EXPECT_EQ(ConvertSpaces(u" 　 ", "101"), u" 　 ");
  EXPECT_EQ(ConvertSpaces(u"\t\t", "101"), u"\t\t");
  EXPECT_EQ(ConvertSpaces(u"", "101"), u"");
}

TEST(ConvertSpaces, PairsAcrossTheEngineBlocks) {
  const std::u16string text = std::u16string(50001, u' ');
  EXPECT_EQ(ConvertSpaces(text, "101"), std::u16string(25000, u'　') + u" ");
}

TEST(ConvertSpaces, WidensOrNarrowsEverySpace) {
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", "100"), u"a　　　\tb");
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", "010"), u"a \u00A0 \tb");
}

}  // namespace
}  // namespace quobrel::Pembo95
