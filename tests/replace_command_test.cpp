#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plain_controls.h"
#include "replace_command.h"

namespace quobrel {
namespace {

using Items = std::vector<std::u16string>;

struct ReplaceFixture : ::testing::Test {
  PlainTabStrip tabs{2};
  PlainComboBox c1, c2;
  PlainTextBox t1, t2;
  PlainCheckBox co1{true}, co2{false};
  PlainTextBox text3, text4{u"old"};
  FormData form;
  ReplaceCommand command{{tabs, c1, c2, t1, t2, co1, co2, text3, text4}, form};

  std::u16string Replace(const std::u16string& source, const std::u16string& search,
                         const std::u16string& replacement) {
    text3.SetText(source);
    c1.SetText(search);
    c2.SetText(replacement);
    command.Command6_Click();
    return text4.Text();
  }
};

TEST_F(ReplaceFixture, CompareModeFollowsCO1) {
  EXPECT_EQ(Replace(u"abcABC", u"abc", u"x"), u"xx");
  co1.SetChecked(false);
  EXPECT_EQ(Replace(u"abcABC", u"abc", u"x"), u"xABC");
}

TEST_F(ReplaceFixture, HistoryKeepsEachStringOnceInOrderOfFirstUse) {
  Replace(u"text", u"abc", u"x");
  EXPECT_EQ(c1.Items(), Items{u"abc"});
  EXPECT_EQ(c2.Items(), Items{u"x"});
  Replace(u"text", u"abc", u"y");
  Replace(u"text", u"ABC", u"x");
  EXPECT_EQ(c1.Items(), (Items{u"abc", u"ABC"}));
  EXPECT_EQ(c2.Items(), (Items{u"x", u"y"}));
}

TEST_F(ReplaceFixture, EmptyInputsChangeNothing) {
  EXPECT_EQ(Replace(u"abc", u"abc", u""), u"old");
  EXPECT_EQ(Replace(u"abc", u"", u"x"), u"old");
  EXPECT_EQ(Replace(u"", u"abc", u"x"), u"old");
  EXPECT_TRUE(c1.Items().empty());
  EXPECT_TRUE(c2.Items().empty());
}

TEST_F(ReplaceFixture, MultiLineInputUsesTheOverlayBoxesAndLeavesTheHistory) {
  co2.SetChecked(true);
  command.CO2_Click();
  EXPECT_TRUE(t1.IsVisible() && t2.IsVisible());
  t1.SetText(u"a\r\nb");
  t2.SetText(u"-");
  text3.SetText(u"xa\r\nby");
  command.Command6_Click();
  EXPECT_EQ(text4.Text(), u"x-y");
  EXPECT_EQ(c1.Text(), u"a\r\nb");
  EXPECT_TRUE(c1.Items().empty() && c2.Items().empty());

  co2.SetChecked(false);
  command.CO2_Click();
  EXPECT_FALSE(t1.IsVisible() || t2.IsVisible());
  EXPECT_EQ(c1.Text(), u"");
  EXPECT_EQ(c2.Text(), u"");
  EXPECT_EQ(t1.Text(), u"a\r\nb");

  co2.SetChecked(true);
  command.CO2_Click();
  t1.SetText(u"");
  text4.SetText(u"kept");
  command.Command6_Click();
  EXPECT_EQ(text4.Text(), u"kept");
  EXPECT_EQ(c1.Text(), u"");
}

TEST_F(ReplaceFixture, TheTabOrTheBatchChoosesTheForm) {
  form.SourceData = u"aaa";
  tabs.SetTab(3);
  EXPECT_EQ(Replace(u"a", u"a", u"b"), u"old");
  EXPECT_EQ(form.ResultData, u"bbb");

  tabs.SetTab(0);
  form.ResultData.clear();
  EXPECT_EQ(command.Command6_Click(), 0u);
  EXPECT_EQ(form.ResultData, u"");

  for (int tab : {0, 1, 2, 3}) {
    tabs.SetTab(tab);
    EXPECT_EQ(command.Command6_Click(Caller::Batch), 3u);
    EXPECT_EQ(form.ResultData, u"bbb");
  }
  EXPECT_EQ(text4.Text(), u"old");
}

TEST_F(ReplaceFixture, AnEmptyFileStillRunsInTheBatch) {
  text3.SetText(u"something");
  c1.SetText(u"a");
  c2.SetText(u"b");
  form.ResultData = u"stale";
  EXPECT_EQ(command.Command6_Click(Caller::Batch), 0u);
  EXPECT_EQ(form.ResultData, u"");
}

}  // namespace
}  // namespace quobrel
