#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "conversion/convert_command.h"
#include "conversion/convert_options.h"
#include "engine/yield_hook.h"
#include "tests/plain_controls.h"

namespace quobrel {
namespace {

struct ConvertFixture : ::testing::Test {
  PlainTabStrip tabs{Tab::ConvertText};
  PlainConvertOptions panel{Options{}};
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
  panel.options = {.katakana = Width::Keep, .spaces = Spaces::Keep};  // every group on none
  const std::u16string source = u"ｶﾞ  ａB１2ガ　\r\n";
  EXPECT_EQ(Convert(source), source);
}

// The start-up options with one group's choice changed, as a click on one button changes them.
template <class Choice>
Options StartUpWith(Choice Options::*group, Choice choice) {
  Options options;
  options.*group = choice;
  return options;
}

TEST_F(ConvertFixture, EachChoiceSelectsItsConversion) {
  const std::u16string source = u"1１aＡbｂｶﾞガ  　";
  using C = Options;
  struct Case {
    Options options;
    std::u16string expected;
  };
  const Case cases[] = {
      {StartUpWith(&C::digits, Width::Full), u"１１aＡbｂガガ　　"},
      {StartUpWith(&C::digits, Width::Half), u"11aＡbｂガガ　　"},
      {StartUpWith(&C::letters, Width::Full), u"1１ａＡｂｂガガ　　"},
      {StartUpWith(&C::letters, Width::Half), u"1１aAbbガガ　　"},
      {StartUpWith(&C::katakana, Width::Half), u"1１aＡbｂｶﾞｶﾞ　　"},
      {StartUpWith(&C::katakana, Width::Keep), u"1１aＡbｂｶﾞガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::Upper), u"1１AＡBＢガガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::Lower), u"1１aａbｂガガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::UpperFullWidth), u"1１aＡbＢガガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::UpperHalfWidth), u"1１AＡBｂガガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::LowerFullWidth), u"1１aａbｂガガ　　"},
      {StartUpWith(&C::letterCase, LetterCase::LowerHalfWidth), u"1１aＡbｂガガ　　"},
      {StartUpWith(&C::spaces, Spaces::AllToFull), u"1１aＡbｂガガ　　　"},
      {StartUpWith(&C::spaces, Spaces::AllToHalf), u"1１aＡbｂガガ   "},
      {StartUpWith(&C::spaces, Spaces::Keep), u"1１aＡbｂガガ  　"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(ConvertText(source, cases[i].options), cases[i].expected) << "case " << i;
}

TEST_F(ConvertFixture, WidthsConvertBeforeCaseAndSpaces) {
  // Letters made half-width first are then upper-cased as half-width letters.
  panel.options.letters = Width::Half;
  panel.options.letterCase = LetterCase::UpperHalfWidth;
  EXPECT_EQ(Convert(u"ａｂ"), u"AB");
  // Digits widened, letters narrowed, katakana left.
  panel.options.digits = Width::Full;
  panel.options.katakana = Width::Keep;
  panel.options.letterCase = LetterCase::Keep;
  EXPECT_EQ(Convert(u"1ａｶﾞ"), u"１aｶﾞ");
}

TEST(ConvertText, TheKanaScriptConvertsBeforeTheWidths) {
  const Options halfKatakana{
      .katakana = Width::Half, .kana = Script::Katakana, .spaces = Spaces::PairsToFull};
  EXPECT_EQ(ConvertText(u"がぱゔー", halfKatakana), u"ｶﾞﾊﾟｳﾞｰ");
  // Widened after the script has converted, half-width katakana stay katakana.
  const Options fullKatakana{
      .katakana = Width::Full, .kana = Script::Hiragana, .spaces = Spaces::PairsToFull};
  EXPECT_EQ(ConvertText(u"ｶﾞガ", fullKatakana), u"ガが");
  EXPECT_EQ(
      ConvertText(u"ｶﾞガ  ",
                  {.katakana = Width::Keep, .kana = Script::Hiragana, .spaces = Spaces::Keep}),
      u"ｶﾞが  ");
}

TEST(ConvertText, SymbolsConvertWithTheDigitsAndLettersSelected) {
  // The start-up options with symbols, and digits and letters, as given.
  auto symbols = [](Width width, Width digits, Width letters, LetterCase letterCase) {
    return Options{.digits = digits,
                   .letters = letters,
                   .symbols = width,
                   .katakana = Width::Full,
                   .letterCase = letterCase,
                   .spaces = Spaces::PairsToFull};
  };
  using enum Width;
  EXPECT_EQ(ConvertText(u"(a-1)~", symbols(Full, Full, Full, LetterCase::Keep)), u"（ａ－１）~");
  EXPECT_EQ(ConvertText(u"(a-1)~", symbols(Full, Full, Keep, LetterCase::Keep)), u"（a－１）~");
  EXPECT_EQ(ConvertText(u"（ａ－１）～", symbols(Half, Keep, Half, LetterCase::Keep)), u"(a-１)～");
  // Only the symbols change width; letter case and spaces follow as before.
  EXPECT_EQ(ConvertText(u"a-b  c", symbols(Full, Keep, Keep, LetterCase::Upper)), u"A－B　C");
  EXPECT_EQ(ConvertText(u"（ａ）", symbols(Half, Keep, Keep, LetterCase::Upper)), u"(Ａ)");
}

TEST_F(ConvertFixture, LaterGroupsAreReadWhenTheirTurnComes) {
  // A selection changed while the width conversion yields applies to the same run.
  convert::ScopedYieldHook hook([this](std::size_t) {
    panel.options.letterCase = LetterCase::Upper;
    panel.options.spaces = Spaces::AllToHalf;
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
  panel.options.digits = Width::Full;
  const Options selection = command.Selection();
  panel.options.digits = Width::Keep;
  panel.options.katakana = Width::Keep;
  EXPECT_EQ(ConvertText(u"1ｶﾞ", selection), u"１ガ");
  EXPECT_EQ(destination.Text(), u"old");
}

}  // namespace
}  // namespace quobrel
