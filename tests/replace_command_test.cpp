#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/replace_command.h"
#include "tests/plain_controls.h"

namespace quobrel {
namespace {

using Items = std::vector<std::u16string>;

struct ReplaceFixture : ::testing::Test {
  PlainTabStrip tabs{Tab::ReplaceText};
  PlainComboBox search, replacement;
  PlainTextBox searchLines, replacementLines;
  PlainCheckBox ignoreCase{true}, multiLine{false};
  PlainTextBox source, destination{u"old"};
  ReplaceCommand command{{tabs, search, replacement, searchLines, replacementLines, ignoreCase,
                          multiLine, source, destination}};

  std::u16string Replace(const std::u16string& text, const std::u16string& what,
                         const std::u16string& with) {
    source.SetText(text);
    search.SetText(what);
    replacement.SetText(with);
    command.Run();
    return destination.Text();
  }
};

TEST_F(ReplaceFixture, CompareModeFollowsTheIgnoreCaseBox) {
  EXPECT_EQ(Replace(u"abcABC", u"abc", u"x"), u"xx");
  ignoreCase.SetChecked(false);
  EXPECT_EQ(Replace(u"abcABC", u"abc", u"x"), u"xABC");
}

TEST_F(ReplaceFixture, HistoryKeepsEachStringOnceInOrderOfFirstUse) {
  Replace(u"text", u"abc", u"x");
  EXPECT_EQ(search.Items(), Items{u"abc"});
  EXPECT_EQ(replacement.Items(), Items{u"x"});
  Replace(u"text", u"abc", u"y");
  Replace(u"text", u"ABC", u"x");
  EXPECT_EQ(search.Items(), (Items{u"abc", u"ABC"}));
  EXPECT_EQ(replacement.Items(), (Items{u"x", u"y"}));
}

TEST_F(ReplaceFixture, EmptyInputsChangeNothing) {
  EXPECT_EQ(Replace(u"abc", u"abc", u""), u"old");
  EXPECT_EQ(Replace(u"abc", u"", u"x"), u"old");
  EXPECT_EQ(Replace(u"", u"abc", u"x"), u"old");
  EXPECT_TRUE(search.Items().empty());
  EXPECT_TRUE(replacement.Items().empty());
}

TEST_F(ReplaceFixture, MultiLineInputUsesTheOverlayBoxesAndLeavesTheHistory) {
  multiLine.SetChecked(true);
  command.ApplyMultiLineMode();
  EXPECT_TRUE(searchLines.IsVisible() && replacementLines.IsVisible());
  searchLines.SetText(u"a\r\nb");
  replacementLines.SetText(u"-");
  source.SetText(u"xa\r\nby");
  command.Run();
  EXPECT_EQ(destination.Text(), u"x-y");
  EXPECT_EQ(search.Text(), u"a\r\nb");
  EXPECT_TRUE(search.Items().empty() && replacement.Items().empty());

  multiLine.SetChecked(false);
  command.ApplyMultiLineMode();
  EXPECT_FALSE(searchLines.IsVisible() || replacementLines.IsVisible());
  EXPECT_EQ(search.Text(), u"");
  EXPECT_EQ(replacement.Text(), u"");
  EXPECT_EQ(searchLines.Text(), u"a\r\nb");

  multiLine.SetChecked(true);
  command.ApplyMultiLineMode();
  searchLines.SetText(u"");
  destination.SetText(u"kept");
  command.Run();
  EXPECT_EQ(destination.Text(), u"kept");
  EXPECT_EQ(search.Text(), u"");
}

TEST_F(ReplaceFixture, AFileTextIsReplacedWhateverTheTabAndCounted) {
  search.SetText(u"a");
  replacement.SetText(u"b");
  for (Tab tab : {Tab::ConvertText, Tab::ConvertFiles, Tab::ReplaceText, Tab::ReplaceFiles}) {
    tabs.SetTab(tab);
    EXPECT_EQ(command.ForFile()->In(u"aaa"), (convert::Replaced{u"bbb", 3}));
  }
  EXPECT_EQ(destination.Text(), u"old");
  EXPECT_EQ(search.Items(), Items{u"a"});
  // Texts emptied meanwhile: nothing to replace with.
  replacement.SetText(u"");
  EXPECT_FALSE(command.ForFile().has_value());
}

TEST_F(ReplaceFixture, AClickWorksOnlyOnTheTextTab) {
  tabs.SetTab(Tab::ReplaceFiles);
  EXPECT_EQ(Replace(u"a", u"a", u"b"), u"old");
}

}  // namespace
}  // namespace quobrel
