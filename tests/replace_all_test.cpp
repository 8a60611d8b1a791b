#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <random>
#include <string>

#include "engine/conversions.h"
#include "tests/yield_counter.h"

namespace quobrel::convert {
namespace {

using testing::YieldCounter;

TEST(ReplaceAll, ScansLeftToRightWithoutOverlapOrRescan) {
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b", CompareMode::Exact), (Replaced{u"ba", 1u}));
  EXPECT_EQ(ReplaceAll(u"aaa", u"a", u"aa", CompareMode::Exact), (Replaced{u"aaaaaa", 3u}));
  EXPECT_EQ(ReplaceAll(u"xyzabc", u"abc", u"Q", CompareMode::Exact).text, u"xyzQ");
  EXPECT_EQ(ReplaceAll(u"ababab", u"aba", u"-", CompareMode::Exact).text, u"-bab");
  EXPECT_EQ(ReplaceAll(u"no match", u"xyz", u"-", CompareMode::Exact), (Replaced{u"no match", 0u}));
  EXPECT_EQ(ReplaceAll(u"", u"a", u"b", CompareMode::Exact), (Replaced{u"", 0u}));
  EXPECT_EQ(ReplaceAll(u"a\r\nb\r\nc", u"\r\nb\r\n", u"+", CompareMode::Exact).text, u"a+c");
}

TEST(ReplaceAll, IgnoringCaseFoldsLettersButNotWidthOrKana) {
  EXPECT_EQ(ReplaceAll(u"abcABC", u"abc", u"x", CompareMode::Exact).text, u"xABC");
  EXPECT_EQ(ReplaceAll(u"abcABC", u"abc", u"xY", CompareMode::IgnoreCase), (Replaced{u"xYxY", 2u}));
  EXPECT_EQ(ReplaceAll(u"ＡａA", u"ａ", u"-", CompareMode::IgnoreCase).text, u"--A");
  EXPECT_EQ(ReplaceAll(u"カｶか", u"カ", u"-", CompareMode::IgnoreCase).text, u"-ｶか");
  // The Kelvin sign and the long s fold like k and s; a final sigma like sigma.
  EXPECT_EQ(ReplaceAll(u"\u212Aiss \u017F\u212A", u"sk", u"-", CompareMode::IgnoreCase).text,
            u"\u212Aiss -");
  EXPECT_EQ(ReplaceAll(u"ΣΑΣ σας", u"σας", u"-", CompareMode::IgnoreCase).text, u"- -");
  // A supplementary letter folds too, and the stretch replaced is the search's length.
  EXPECT_EQ(ReplaceAll(u"x\U00010400y", u"\U00010428", u"-", CompareMode::IgnoreCase).text, u"x-y");
  // ß folds to itself by simple folding; "ss" never matches it.
  EXPECT_EQ(ReplaceAll(u"ßss", u"ss", u"-", CompareMode::IgnoreCase).text, u"ß-");
}

TEST(ReplaceAll, OwesOneYieldPerSearch) {
  {
    YieldCounter counter;
    ReplaceAll(u"", u"a", u"b", CompareMode::Exact);
    EXPECT_EQ(counter.calls, 0u);
  }
  struct Case {
    std::u16string text;
    std::size_t searches;
  };
  for (const Case& c : {Case{u"aaa", 3}, Case{u"aab", 3}, Case{u"bbb", 1}, Case{u"ab", 2}}) {
    YieldCounter counter;
    ReplaceAll(c.text, u"a", u"x", CompareMode::Exact);
    EXPECT_EQ(counter.total, c.searches) << std::string(c.text.begin(), c.text.end());
  }
  // A long text without a match still hands control back while it is searched.
  YieldCounter counter;
  ReplaceAll(std::u16string(200000, u'b'), u"a", u"x", CompareMode::IgnoreCase);
  EXPECT_EQ(counter.total, 1u);
  EXPECT_GT(counter.calls, 5u);
}

// The replacement as the scan describes it: search the rest from its start, append what
// comes before the match and the replacement, go on behind the match.
bool ReferenceMatchesAt(std::u16string_view text, std::size_t at, std::u16string_view search,
                        CompareMode mode) {
  if (at + search.size() > text.size()) return false;
  if (mode == CompareMode::Exact) return text.substr(at, search.size()) == search;
  std::size_t i = 0, j = at;
  while (i < search.size()) {
    UChar32 s, t;
    const std::size_t si = i, tj = j;
    U16_NEXT(search.data(), i, search.size(), s);
    U16_NEXT(text.data(), j, text.size(), t);
    if (i - si != j - tj ||
        u_foldCase(s, U_FOLD_CASE_DEFAULT) != u_foldCase(t, U_FOLD_CASE_DEFAULT)) {
      return false;
    }
  }
  return true;
}

std::u16string ReferenceReplaceAll(std::u16string_view text, std::u16string_view search,
                                   std::u16string_view replacement, CompareMode mode,
                                   std::size_t& count) {
  std::u16string result;
  count = 0;
  std::size_t rest = 0;
  while (rest < text.size()) {
    std::size_t match = rest;
    while (match < text.size() && !ReferenceMatchesAt(text, match, search, mode)) ++match;
    if (match == text.size()) {
      result.append(text.substr(rest));
      break;
    }
    result.append(text.substr(rest, match - rest)).append(replacement);
    rest = match + search.size();
    ++count;
  }
  return result;
}

TEST(ReplaceAll, AgreesWithTheScanOnRandomTexts) {
  const std::u16string alphabet = u"aAbBkK\u212A\u017Fsｓｓ ΣσςあアｱﾞＡ\r\n\U00010400\U00010428";
  std::mt19937 random(20261206);
  auto randomText = [&](std::size_t maxLength) {
    std::u16string text;
    const std::size_t length = random() % (maxLength + 1);
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::u16string text = randomText(round % 10 == 0 ? 300 : 40);
    std::u16string search = randomText(4);
    if (search.empty()) search.push_back(u'a');
    const std::u16string replacement = randomText(3) + u"R";
    const auto mode = round % 2 ? CompareMode::IgnoreCase : CompareMode::Exact;
    std::size_t expectedCount;
    const std::u16string expected =
        ReferenceReplaceAll(text, search, replacement, mode, expectedCount);
    const Replaced replaced = ReplaceAll(text, search, replacement, mode);
    ASSERT_EQ(replaced.text, expected) << "round " << round;
    ASSERT_EQ(replaced.count, expectedCount) << "round " << round;
  }
}

// The pieces of a text, cut anywhere, each replaced but for its tail, which goes before the
// next piece, give the result of the whole text.
TEST(ReplaceAllButTail, PiecesWithTheirTailsGiveTheWholeResult) {
  const std::u16string_view units[] = {u"a", u"A", u"b", u"\r", u"\n", u"𠮷"};
  const std::u16string_view searches[] = {u"a\r\nb", u"aa", u"aAa", u"𠮷a", u"\n\n", u"b"};
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    for (int n = 0; n < 60; ++n) text += units[random() % std::size(units)];
    const std::u16string_view search = searches[round % std::size(searches)];
    const auto mode = round % 2 ? CompareMode::IgnoreCase : CompareMode::Exact;
    const Replaced whole = ReplaceAll(text, search, u"<>", mode);

    std::u16string result, tail;
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t length = 1 + random() % 9;
      const std::u16string piece = tail + text.substr(at, length);
      at += length;
      if (at >= text.size()) {
        const Replaced last = ReplaceAll(piece, search, u"<>", mode);
        result += last.text;
        count += last.count;
        tail.clear();
        break;
      }
      const ReplacedHead head = ReplaceAllButTail(piece, search, u"<>", mode);
      result += head.text;
      count += head.count;
      tail = piece.substr(head.tailStart);
      ASSERT_LT(tail.size(), search.size() + 1);
      ASSERT_FALSE(!tail.empty() && U16_IS_TRAIL(tail.front()));
    }
    ASSERT_EQ(result, whole.text) << round;
    ASSERT_EQ(count, whole.count);
  }
}

}  // namespace
}  // namespace quobrel::convert
