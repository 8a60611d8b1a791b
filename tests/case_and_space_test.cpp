#include <gtest/gtest.h>

#include "engine/conversions.h"

namespace quobrel::convert {
namespace {

constexpr CaseChange kAllUpper{.halfWidth = true, .fullWidth = true, .toUpper = true};
constexpr CaseChange kAllLower{.halfWidth = true, .fullWidth = true};
constexpr CaseChange kHalfWidthUpper{.halfWidth = true, .toUpper = true};
constexpr CaseChange kHalfWidthLower{.halfWidth = true};
constexpr CaseChange kFullWidthUpper{.fullWidth = true, .toUpper = true};
constexpr CaseChange kFullWidthLower{.fullWidth = true};

TEST(ConvertLetterCase, EachChangeTouchesItsWidthsInItsDirection) {
  const std::u16string text = u"xｙZ";
  EXPECT_EQ(ConvertLetterCase(text, kAllUpper), u"XＹZ");
  EXPECT_EQ(ConvertLetterCase(text, kHalfWidthUpper), u"XｙZ");
  EXPECT_EQ(ConvertLetterCase(text, kFullWidthUpper), u"xＹZ");
  EXPECT_EQ(ConvertLetterCase(text, kHalfWidthLower), u"xｙz");
  EXPECT_EQ(ConvertLetterCase(text, kFullWidthLower), u"xｙZ");
  EXPECT_EQ(ConvertLetterCase(text, kAllLower), u"xｙz");
}

TEST(ConvertLetterCase, TouchesOnlyTheBasicLatinLetters) {
  const std::u16string others = u"éÉßΣσЖж@[`{＠［｀｛09０９あア漢";
  EXPECT_EQ(ConvertLetterCase(others, kAllUpper), others);
  EXPECT_EQ(ConvertLetterCase(others, kAllLower), others);
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", kAllUpper), u"AZAZＡＺＡＺ");
  EXPECT_EQ(ConvertLetterCase(u"AZazＡＺａｚ", kAllLower), u"azazａｚａｚ");
  EXPECT_EQ(ConvertLetterCase(u"", kAllUpper), u"");
}

TEST(ConvertSpaces, PairsAdjacentHalfWidthSpaces) {
  EXPECT_EQ(ConvertSpaces(u"x  y", SpaceMode::PairsToFullWidth), u"x　y");
  EXPECT_EQ(ConvertSpaces(u"x   y", SpaceMode::PairsToFullWidth), u"x　 y");
  EXPECT_EQ(ConvertSpaces(u"x y", SpaceMode::PairsToFullWidth), u"x y");
  EXPECT_EQ(ConvertSpaces(u"    ", SpaceMode::PairsToFullWidth), u"　　");
  EXPECT_EQ(ConvertSpaces(u"x ", SpaceMode::PairsToFullWidth), u"x ");
  EXPECT_EQ(ConvertSpaces(u" ", SpaceMode::PairsToFullWidth), u" ");
  EXPECT_EQ(ConvertSpaces(u"\u00A0 ", SpaceMode::PairsToFullWidth), u"　");
  EXPECT_EQ(ConvertSpaces(u"\u00A0x", SpaceMode::PairsToFullWidth), u" x");
  EXPECT_EQ(ConvertSpaces(u" \r\n  ", SpaceMode::PairsToFullWidth), u" \r\n　");
  EXPECT_EQ(ConvertSpaces(u" 　 ", SpaceMode::PairsToFullWidth), u" 　 ");
  EXPECT_EQ(ConvertSpaces(u"\t\t", SpaceMode::PairsToFullWidth), u"\t\t");
  EXPECT_EQ(ConvertSpaces(u"", SpaceMode::PairsToFullWidth), u"");
}

TEST(ConvertSpaces, PairsAcrossTheEngineBlocks) {
  const std::u16string text = std::u16string(50001, u' ');
  EXPECT_EQ(ConvertSpaces(text, SpaceMode::PairsToFullWidth), std::u16string(25000, u'　') + u" ");
}

TEST(ConvertSpaces, WidensOrNarrowsEverySpace) {
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", SpaceMode::AllToFullWidth), u"a　　　\tb");
  EXPECT_EQ(ConvertSpaces(u"a \u00A0　\tb", SpaceMode::AllToHalfWidth), u"a \u00A0 \tb");
}

}  // namespace
}  // namespace quobrel::convert
