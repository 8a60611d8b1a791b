#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "convert_command.h"
#include "plain_controls.h"
#include "yield_hook.h"

namespace quobrel {
namespace {

using enum OptionButton;

struct ConvertFixture : ::testing::Test {
  PlainTabStrip tabs{0};
  PlainOptionPanel panel;
  PlainTextBox text1, text2{u"old"};
  FormData form;
  ConvertCommand command{{tabs, panel, text1, text2}, form};

  std::u16string Convert(const std::u16string& source) {
    text1.SetText(source);
    command.Command1_Click();
    return text2.Text();
  }
};

TEST_F(ConvertFixture, StartUpSelectionWidensKatakanaAndPairsSpaces) {
  EXPECT_EQ(Convert(u"ｶﾞｷﾞｸﾞ"), u"ガギグ");
  EXPECT_EQ(Convert(u"a  b Ａ1"), u"a　b Ａ1");
  EXPECT_EQ(Convert(u""), u"");
}

TEST_F(ConvertFixture, EveryGroupOnNoneCopiesTheSource) {
  for (OptionButton none : {SO3, EO3, KO3, EOM3, SPO4}) panel.Select(none);
  const std::u16string source = u"ｶﾞ  ａB１2ガ　\r\n";
  EXPECT_EQ(Convert(source), source);
}

TEST_F(ConvertFixture, EachButtonSelectsItsCode) {
  const std::u16string source = u"1１aＡbｂｶﾞガ  　";
  struct Case {
    OptionButton button;
    std::u16string expected;
  };
  const Case cases[] = {
      {SO1, u"１１aＡbｂガガ　　"},   {SO2, u"11aＡbｂガガ　　"},    {EO1, u"1１ａＡｂｂガガ　　"},
      {EO2, u"1１aAbbガガ　　"},      {KO2, u"1１aＡbｂｶﾞｶﾞ　　"},   {KO3, u"1１aＡbｂｶﾞガ　　"},
      {EOM1, u"1１AＡBＢガガ　　"},   {EOM2, u"1１aａbｂガガ　　"},  {EOM11, u"1１aＡbＢガガ　　"},
      {EOM12, u"1１AＡBｂガガ　　"},  {EOM21, u"1１aａbｂガガ　　"}, {EOM22, u"1１aＡbｂガガ　　"},
      {SPO2, u"1１aＡbｂガガ　　　"}, {SPO3, u"1１aＡbｂガガ   "},   {SPO4, u"1１aＡbｂガガ  　"},
  };
  for (const Case& c : cases) {
    PlainOptionPanel fresh;
    fresh.Select(c.button);
    text1.SetText(source);
    ConvertCommand({tabs, fresh, text1, text2}, form).Command1_Click();
    EXPECT_EQ(text2.Text(), c.expected) << static_cast<int>(c.button);
  }
}

TEST_F(ConvertFixture, WidthsConvertBeforeCaseAndSpaces) {
  // Letters made half-width first are then upper-cased as half-width letters.
  panel.Select(EO2);
  panel.Select(EOM12);
  EXPECT_EQ(Convert(u"ａｂ"), u"AB");
  // Digits widened, letters narrowed, katakana left.
  panel.Select(SO1);
  panel.Select(KO3);
  panel.Select(EOM3);
  EXPECT_EQ(Convert(u"1ａｶﾞ"), u"１aｶﾞ");
}

TEST_F(ConvertFixture, LaterGroupsAreReadWhenTheirTurnComes) {
  // A selection changed while the width conversion yields applies to the same run.
  Pembo95::ScopedYieldHook hook([this](std::size_t) {
    panel.Select(EOM1);
    panel.Select(SPO3);
  });
  EXPECT_EQ(Convert(u"aｶ　"), u"Aカ ");
}

TEST_F(ConvertFixture, TheTabChoosesTheFormOfAClick) {
  form.SourceData = u"ｶﾞ";
  tabs.SetTab(1);
  EXPECT_EQ(Convert(u"ｷﾞ"), u"old");
  EXPECT_EQ(form.ResultData, u"ガ");

  form.ResultData.clear();
  tabs.SetTab(2);
  EXPECT_EQ(Convert(u"ｷﾞ"), u"old");
  EXPECT_EQ(form.ResultData, u"");
}

TEST_F(ConvertFixture, TheOutputGoesWhereTheTabPointsWhenTheRunEnds) {
  Pembo95::ScopedYieldHook hook([this](std::size_t) { tabs.SetTab(1); });
  EXPECT_EQ(Convert(u"ｷﾞ"), u"old");
  EXPECT_EQ(form.ResultData, u"ギ");
}

TEST_F(ConvertFixture, ABatchRunAlwaysUsesTheFileTexts) {
  text1.SetText(u"ｷﾞ");
  for (int tab : {0, 1, 2, 3}) {
    tabs.SetTab(tab);
    form.SourceData = u"ｶﾞ";
    form.ResultData.clear();
    command.Command1_Click(Caller::Batch);
    EXPECT_EQ(form.ResultData, u"ガ");
    EXPECT_EQ(text2.Text(), u"old");
  }
}

}  // namespace
}  // namespace quobrel
