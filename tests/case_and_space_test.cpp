#include <gtest/gtest.h>

#include "conversion/option_codes.h"
#include "engine/conversions.h"

namespace quobrel::convert {
namespace {

using quobrel::CaseCode;
using quobrel::SpaceCode;

TEST(ConvertLetterCase, EachCodeTouchesItsWidthsInItsDirection) {
  const std::u16string text = u"xｙZ";
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("111")), u"XＹZ");
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("101")), u"XｙZ");
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("011")), u"xＹZ");
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("100")), u"xｙz");
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("010")), u"xｙZ");
  EXPECT_EQ(ConvertLetterCase(text, CaseCode("110")), u"xｙz");
}

TEST(ConvertLetterCase, TouchesOnlyTheBasicLatinLetters) {
  const std::u16string others = u"éÉßΣσЖж@[`{＠［｀｛09０９あア漢";
  EXPECT_EQ(ConvertLetterCase(others, CaseCode("111")), others);
  EXPECT_EQ(ConvertLetterCase(others, CaseCode("110")), others);
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", CaseCode("111")), u"AZAZＡＺＡＺ");
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", CaseCode("110")), u"azazａｚａｚ");
  EXPECT_EQ(ConvertLetterCase(u"", CaseCode("111")), u"");
}

TEST(ConvertSpaces, PairsAdjacentHalfWidthSpaces) {
  EXPECT_EQ(ConvertSpaces(u"x  y", SpaceCode("101")), u"x　y");
  EXPECT_EQ(ConvertSpaces(u"x   y", SpaceCode("101")), u"x　 y");
  EXPECT_EQ(ConvertSpaces(u"x y", SpaceCode("101")), u"x y");
  EXPECT_EQ(ConvertSpaces(u"    ", SpaceCode("101")), u"　　");
  EXPECT_EQ(ConvertSpaces(u"x ", SpaceCode("101")), u"x ");
  EXPECT_EQ(ConvertSpaces(u" ", SpaceCode("101")), u" ");
  EXPECT_EQ(ConvertSpaces(u"\u00A0 ", SpaceCode("101")), u"　");
  EXPECT_EQ(ConvertSpaces(u"\u00A0x", SpaceCode("101")), u" x");
  EXPECT_EQ(ConvertSpaces(u" \r\n  ", SpaceCode("101")), u" \r\n　");
  EXPECT_EQ(ConvertSpaces(u" 　 ", SpaceCode("101")), u" 　 ");
  EXPECT_EQ(ConvertSpaces(u"\t\t", SpaceCode("101")), u"\t\t");
  EXPECT_EQ(ConvertSpaces(u"", SpaceCode("101")), u"");
}

TEST(ConvertSpaces, PairsAcrossTheEngineBlocks) {
  const std::u16string text = std::u16string(50001, u' ');
  EXPECT_EQ(ConvertSpaces(text, SpaceCode("101")), std::u16string(25000, u'　') + u" ");
}

TEST(ConvertSpaces, WidensOrNarrowsEverySpace) {
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", SpaceCode("100")), u"a　　　\tb");
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", SpaceCode("010")), u"a \u00A0 \tb");
}

}  // namespace
}  // namespace quobrel::convert
