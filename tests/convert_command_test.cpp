#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "conversion/convert_command.h"
#include "conversion/plain_controls.h"
#include "engine/yield_hook.h"

namespace quobrel {
namespace {

using enum OptionButton;

struct ConvertFixture : ::testing::Test {
  PlainTabStrip tabs{Tab::ConvertText};
  PlainOptionPanel panel;
  PlainTextBox source, destination{u"old"};
  ConvertCommand command{{tabs, panel, source, destination}};

  std::u16string Convert(const std::u16string& text) {
    source.SetText(text);
    command.Run();
    return destination.Text();
  }
};

TEST_F(ConvertFixture, StartUpSelectionWidensKatakanaAndPairsSpaces) {
  EXPECT_EQ(Convert(u"ｶﾞｷﾞｸﾞ"), u"ガギグ");
  EXPECT_EQ(Convert(u"a  b Ａ1"), u"a　b Ａ1");
  EXPECT_EQ(Convert(u""), u"");
}

TEST_F(ConvertFixture, EveryGroupOnNoneCopiesTheSource) {
  for (OptionButton none : {DigitsNone, LettersNone, KatakanaNone, CaseNone, SpacesNone})
    panel.Select(none);
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
      {DigitsFull, u"１１aＡbｂガガ　　"},        {DigitsHalf, u"11aＡbｂガガ　　"},
      {LettersFull, u"1１ａＡｂｂガガ　　"},      {LettersHalf, u"1１aAbbガガ　　"},
      {KatakanaHalf, u"1１aＡbｂｶﾞｶﾞ　　"},       {KatakanaNone, u"1１aＡbｂｶﾞガ　　"},
      {CaseAllUpper, u"1１AＡBＢガガ　　"},       {CaseAllLower, u"1１aａbｂガガ　　"},
      {CaseFullWidthUpper, u"1１aＡbＢガガ　　"}, {CaseHalfWidthUpper, u"1１AＡBｂガガ　　"},
      {CaseFullWidthLower, u"1１aａbｂガガ　　"}, {CaseHalfWidthLower, u"1１aＡbｂガガ　　"},
      {SpacesAllToFull, u"1１aＡbｂガガ　　　"},  {SpacesAllToHalf, u"1１aＡbｂガガ   "},
      {SpacesNone, u"1１aＡbｂガガ  　"},
  };
  for (const Case& c : cases) {
    PlainOptionPanel fresh;
    fresh.Select(c.button);
    EXPECT_EQ(ConvertText(source, fresh), c.expected) << static_cast<int>(c.button);
  }
}

TEST_F(ConvertFixture, WidthsConvertBeforeCaseAndSpaces) {
  // Letters made half-width first are then upper-cased as half-width letters.
  panel.Select(LettersHalf);
  panel.Select(CaseHalfWidthUpper);
  EXPECT_EQ(Convert(u"ａｂ"), u"AB");
  // Digits widened, letters narrowed, katakana left.
  panel.Select(DigitsFull);
  panel.Select(KatakanaNone);
  panel.Select(CaseNone);
  EXPECT_EQ(Convert(u"1ａｶﾞ"), u"１aｶﾞ");
}

PlainOptionPanel Selecting(std::initializer_list<OptionButton> buttons) {
  PlainOptionPanel panel;
  for (OptionButton button : buttons) panel.Select(button);
  return panel;
}

TEST(ExtraConversions, TheKanaScriptConvertsBeforeTheWidths) {
  const ExtraConversions toKatakana{.kana = convert::KanaScript::Katakana};
  const ExtraConversions toHiragana{.kana = convert::KanaScript::Hiragana};
  EXPECT_EQ(ConvertText(u"がぱゔー", Selecting({KatakanaHalf}), toKatakana), u"ｶﾞﾊﾟｳﾞｰ");
  // Widened after the script has converted, half-width katakana stay katakana.
  EXPECT_EQ(ConvertText(u"ｶﾞガ", Selecting({KatakanaFull}), toHiragana), u"ガが");
  EXPECT_EQ(ConvertText(u"ｶﾞガ  ", Selecting({KatakanaNone, SpacesNone}), toHiragana), u"ｶﾞが  ");
}

TEST(ExtraConversions, SymbolsConvertWithTheDigitsAndLettersThePanelSelects) {
  const ExtraConversions full{.symbols = ExtraConversions::SymbolWidth::Full};
  const ExtraConversions half{.symbols = ExtraConversions::SymbolWidth::Half};
  EXPECT_EQ(ConvertText(u"(a-1)~", Selecting({DigitsFull, LettersFull}), full), u"（ａ－１）~");
  EXPECT_EQ(ConvertText(u"(a-1)~", Selecting({DigitsFull}), full), u"（a－１）~");
  EXPECT_EQ(ConvertText(u"（ａ－１）～", Selecting({LettersHalf}), half), u"(a-１)～");
  // Only the symbols change width; letter case and spaces follow as before.
  EXPECT_EQ(ConvertText(u"a-b  c", Selecting({CaseAllUpper}), full), u"A－B　C");
  EXPECT_EQ(ConvertText(u"（ａ）", Selecting({CaseAllUpper}), half), u"(Ａ)");
}

TEST_F(ConvertFixture, LaterGroupsAreReadWhenTheirTurnComes) {
  // A selection changed while the width conversion yields applies to the same run.
  convert::ScopedYieldHook hook([this](std::size_t) {
    panel.Select(CaseAllUpper);
    panel.Select(SpacesAllToHalf);
  });
  EXPECT_EQ(Convert(u"aｶ　"), u"Aカ ");
}

TEST_F(ConvertFixture, AClickWritesOnlyWhereTheTextTabStillIsWhenTheRunEnds) {
  tabs.SetTab(Tab::ConvertFiles);
  EXPECT_EQ(Convert(u"ｷﾞ"), u"old");
  tabs.SetTab(Tab::ConvertText);
  convert::ScopedYieldHook hook([this](std::size_t) { tabs.SetTab(Tab::ReplaceText); });
  EXPECT_EQ(Convert(u"ｷﾞ"), u"old");
}

TEST_F(ConvertFixture, AFileTakesTheSelectionAsItIsWhenTheFileBegins) {
  panel.Select(DigitsFull);
  const PlainOptionPanel selection = command.Selection();
  panel.Select(DigitsNone);
  panel.Select(KatakanaNone);
  EXPECT_EQ(ConvertText(u"1ｶﾞ", selection), u"１ガ");
  EXPECT_EQ(destination.Text(), u"old");
}

}  // namespace
}  // namespace quobrel
