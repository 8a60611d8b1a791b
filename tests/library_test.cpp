// libquobrel through its installed header only: the same bytes as quobrel-cli on the
// Japanese manual pages, and the faults it reports.
#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "quobrel/quobrel.h"
#include "tests/manual_pages.h"
#include "tests/run_process.h"

namespace {

using quobrel::LetterCase;
using quobrel::Options;
using quobrel::Script;
using quobrel::Spaces;
using quobrel::Width;
using quobrel::testing::RunProcess;

std::string Cli(std::vector<std::string> arguments, const std::string& input) {
  arguments.insert(arguments.begin() + 1, "--encoding=utf-8");
  const quobrel::testing::ProcessResult result = RunProcess(QUOBREL_CLI_PATH, arguments, input);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  return result.out;
}

std::u16string Utf16(const std::string& utf8) {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
  return {reinterpret_cast<const char16_t*>(text.getBuffer()),
          static_cast<std::size_t>(text.length())};
}

std::string Utf8(const std::u16string& utf16) {
  std::string utf8;
  icu::UnicodeString(false, utf16.data(), static_cast<int32_t>(utf16.size())).toUTF8String(utf8);
  return utf8;
}

// Where two long texts part, if they do: a report that names the place, not the texts.
std::optional<std::size_t> FirstDifference(const std::string& ours, const std::string& theirs) {
  if (ours == theirs) return std::nullopt;
  const std::size_t common = std::min(ours.size(), theirs.size());
  return std::mismatch(ours.begin(), ours.begin() + common, theirs.begin()).first - ours.begin();
}

class ManualPagesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pages_ = new std::string(quobrel::testing::EveryTwentiethManualPage());
    // The same pages with half-width katakana, digits, letters and symbols aplenty.
    if (!pages_->empty()) {
      halfWidth_ = new std::string(Cli({"convert", "--katakana=half", "--digits=half",
                                        "--letters=half", "--symbols=half", "--spaces=half"},
                                       *pages_));
    }
  }
  static void TearDownTestSuite() {
    delete pages_;
    delete halfWidth_;
  }
  void SetUp() override {
    if (pages_->empty()) GTEST_SKIP() << "no Japanese manual pages (manpages-ja)";
  }
  static inline std::string* pages_ = nullptr;
  static inline std::string* halfWidth_ = nullptr;
};

TEST_F(ManualPagesTest, ConvertGivesTheCommandLinesBytes) {
  struct Case {
    std::vector<std::string> arguments;
    Options options;
  };
  const Case cases[] = {
      {{"convert"}, {}},
      {{"convert", "--digits=full", "--letters=full", "--symbols=full"},
       {.digits = Width::Full, .letters = Width::Full, .symbols = Width::Full}},
      {{"convert", "--digits=half", "--letters=half", "--symbols=half", "--katakana=half"},
       {.digits = Width::Half,
        .letters = Width::Half,
        .symbols = Width::Half,
        .katakana = Width::Half}},
      {{"convert", "--kana=hiragana", "--spaces=full"},
       {.kana = Script::Hiragana, .spaces = Spaces::AllToFull}},
      {{"convert", "--kana=katakana", "--katakana=half", "--spaces=none"},
       {.katakana = Width::Half, .kana = Script::Katakana, .spaces = Spaces::Keep}},
      {{"convert", "--case=upper", "--katakana=none"},
       {.katakana = Width::Keep, .letterCase = LetterCase::Upper}},
      {{"convert", "--case=lower-full", "--letters=full"},
       {.letters = Width::Full, .letterCase = LetterCase::LowerFullWidth}},
      {{"convert", "--case=upper-half", "--spaces=half"},
       {.letterCase = LetterCase::UpperHalfWidth, .spaces = Spaces::AllToHalf}},
  };
  for (const std::string* text : {pages_, halfWidth_}) {
    for (const Case& c : cases) {
      const std::string converted = quobrel::Convert(*text, c.options);
      EXPECT_EQ(FirstDifference(converted, Cli(c.arguments, *text)), std::nullopt)
          << c.arguments.back();
      EXPECT_EQ(FirstDifference(Utf8(quobrel::Convert(Utf16(*text), c.options)), converted),
                std::nullopt)
          << "UTF-16, " << c.arguments.back();
    }
  }
}

TEST_F(ManualPagesTest, ReplaceGivesTheCommandLinesBytes) {
  struct Case {
    std::string search, replacement;
    bool matchCase;
  };
  const Case cases[] = {{"the", "THE", false},       {"ファイル", "file", true},
                        {"ﾌｧｲﾙ", "ファイル", false}, {".TH", "", true},
                        {"\n.SH", "\r\n.SH", false}, {"ＡＢＣ", "abc", false}};
  for (const std::string* text : {pages_, halfWidth_}) {
    for (const Case& c : cases) {
      std::vector<std::string> arguments{"replace", "--search=" + c.search,
                                         "--replace=" + c.replacement};
      if (c.matchCase) arguments.push_back("--match-case");
      std::size_t count = 0;
      const std::string replaced =
          quobrel::Replace(*text, c.search, c.replacement, c.matchCase, &count);
      EXPECT_EQ(FirstDifference(replaced, Cli(arguments, *text)), std::nullopt) << c.search;
      std::size_t utf16Count = 0;
      EXPECT_EQ(Utf8(quobrel::Replace(Utf16(*text), Utf16(c.search), Utf16(c.replacement),
                                      c.matchCase, &utf16Count)),
                replaced)
          << c.search;
      EXPECT_EQ(utf16Count, count) << c.search;
    }
  }
}

TEST(Library, LongLinesAndLongTextsGiveTheCommandLinesBytes) {
  // Lines of every length up to several times the longest the library converts at once,
  // of characters that turn on what comes before or after them, and every line break.
  const std::string characters[] = {"ｶ", "ﾞ", "ﾟ", " ", "  ", "a", "Ａ", "𠮷", "\r", "\n", "\r\n"};
  std::mt19937 random(23);
  std::string text;
  while (text.size() < 2'000'000) {
    const std::size_t lineLength = random() % 3 == 0 ? random() % 100'000 : random() % 100;
    for (std::size_t i = 0; i < lineLength; ++i) text += characters[random() % 8];
    text += characters[8 + random() % 3];
  }
  // And a byte-order mark, which the command line takes off and puts back.
  for (const std::string& sample :
       {text, std::string(300'000, ' ') + "ｶﾞ", "\xEF\xBB\xBF" + text.substr(0, 100'000)}) {
    const std::string expected = Cli({"convert"}, sample);
    EXPECT_EQ(FirstDifference(quobrel::Convert(sample), expected), std::nullopt);
    EXPECT_EQ(FirstDifference(Utf8(quobrel::Convert(Utf16(sample))), expected), std::nullopt);
  }
}

TEST(Library, DefaultsAreTheWindowsStartUpSelection) {
  EXPECT_EQ(quobrel::Convert("ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ １a"), "ガッコウ　デ パン １a");
  EXPECT_EQ(quobrel::Convert(u"ｶﾞｯｺｳ  ﾃﾞ"), u"ガッコウ　デ");
  EXPECT_EQ(quobrel::Convert(""), "");
}

TEST(Library, ReplaceCountsWhatItReplaced) {
  std::size_t count = 99;
  EXPECT_EQ(quobrel::Replace("Abc abc ＡＢＣ", "abc", "x", false, &count), "x x ＡＢＣ");
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(quobrel::Replace("Abc abc", "abc", "x", true, &count), "Abc x");
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(quobrel::Replace("aaa", "aa", "a", true, &count), "aa");  // no overlap
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(quobrel::Replace("abc", "x", "y", false, &count), "abc");
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(quobrel::Replace(u"𠀋x𠀋", u"𠀋", u"😀"), u"😀x😀");  // pairs are characters
}

// The message and the offset of the Error `call` throws.
template <class Call>
std::pair<std::string, std::size_t> Thrown(Call call) {
  try {
    call();
  } catch (const quobrel::Error& error) {
    return {error.what(), error.Offset()};
  }
  ADD_FAILURE() << "nothing thrown";
  return {};
}

TEST(Library, InvalidUtf8IsRefusedWhereItLies) {
  using Fault = std::pair<std::string, std::size_t>;
  struct Case {
    std::string bytes;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\x80", 2},            // a continuation byte alone
      {"ガ\xE3\x82", 3},        // cut short at the end
      {"a\xC0\xAF", 1},         // an overlong slash
      {"a\xED\xA0\x80z", 1},    // a surrogate, which UTF-8 does not hold
      {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
      {"ok\xFFok", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Thrown([&] { quobrel::Convert(c.bytes); }),
              Fault("the text is not valid UTF-8 at byte " + std::to_string(c.offset), c.offset));
    EXPECT_EQ(Thrown([&] { quobrel::Replace(c.bytes, "a", "b"); }).second, c.offset);
    EXPECT_EQ(Thrown([&] { quobrel::Replace("a", c.bytes, "b"); }).first,
              "the search text is not valid UTF-8 at byte " + std::to_string(c.offset));
    EXPECT_EQ(Thrown([&] { quobrel::Replace("a", "a", c.bytes); }).first,
              "the replacement is not valid UTF-8 at byte " + std::to_string(c.offset));
  }
}

TEST(Library, InvalidUtf8FarIntoALongTextIsRefusedWhereItLies) {
  std::string text;
  for (int line = 0; line < 30'000; ++line) text += "ｶﾞ  \n";
  const std::size_t offset = text.size() + 1;
  text += "a\xC3(";
  EXPECT_EQ(Thrown([&] { quobrel::Convert(text); }).first,
            "the text is not valid UTF-8 at byte " + std::to_string(offset));
  EXPECT_EQ(Thrown([&] { quobrel::Convert(text); }).second, offset);
}

TEST(Library, LoneSurrogatesAndEmptySearchesAreRefused) {
  using Fault = std::pair<std::string, std::size_t>;
  struct Case {
    std::u16string text;
    std::size_t unit;
  };
  const Case cases[] = {
      {u"ab\xD800", 2},      // a lead at the end
      {u"a\xDC00z", 1},      // a trail alone
      {u"\xDC00\xD800", 0},  // the pair's halves the wrong way round
      {u"😀\xD83D"
       u"a",
       2},  // a lead before no trail
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Thrown([&] { quobrel::Convert(c.text); }),
              Fault("the text holds a lone surrogate at unit " + std::to_string(c.unit), c.unit));
    EXPECT_EQ(Thrown([&] { quobrel::Replace(u"a", u"a", c.text); }).first,
              "the replacement holds a lone surrogate at unit " + std::to_string(c.unit));
  }
  EXPECT_EQ(Thrown([] { quobrel::Replace("abc", "", "x"); }), Fault("the search text is empty", 0));
  EXPECT_EQ(Thrown([] { quobrel::Replace(u"abc", u"", u"x"); }),
            Fault("the search text is empty", 0));
  // A runtime_error like any other to a caller that knows no better.
  EXPECT_THROW(quobrel::Convert("\xFF"), std::runtime_error);
}

}  // namespace
