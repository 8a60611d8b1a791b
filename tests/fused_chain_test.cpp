// The fused pass against the steps it fuses, run one after the other: the two must agree
// unit for unit, for every set of options; and on UTF-8, byte for byte with the UTF-8 of
// what it gives on UTF-16.
#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "conversion/convert_options.h"
#include "engine/conversion_chain.h"
#include "tests/instruction_sets.h"
#include "tests/manual_pages.h"
#include "tests/yield_counter.h"

namespace quobrel {
namespace {

std::vector<Options> EveryOptionSet() {
  std::vector<Options> sets;
  const Width widths[] = {Width::Keep, Width::Full, Width::Half};
  for (Width digits : widths)
    for (Width letters : widths)
      for (Width symbols : widths)
        for (Width katakana : widths)
          for (int kana = 0; kana <= static_cast<int>(Script::Katakana); ++kana)
            for (int letterCase = 0; letterCase <= static_cast<int>(LetterCase::LowerHalfWidth);
                 ++letterCase)
              for (int spaces = 0; spaces <= static_cast<int>(Spaces::AllToHalf); ++spaces)
                sets.push_back({digits, letters, symbols, katakana, static_cast<Script>(kana),
                                static_cast<LetterCase>(letterCase), static_cast<Spaces>(spaces)});
  return sets;
}

std::string Describe(const Options& o) {
  auto n = [](auto choice) { return std::to_string(static_cast<int>(choice)); };
  return "digits " + n(o.digits) + " letters " + n(o.letters) + " symbols " + n(o.symbols) +
         " katakana " + n(o.katakana) + " kana " + n(o.kana) + " case " + n(o.letterCase) +
         " spaces " + n(o.spaces);
}

// Runs of units, each run drawn from one pool: long enough for whole vector groups to pass,
// mixed enough for every look-behind to meet every neighbour.
std::u16string RandomText(std::mt19937& random, std::size_t length) {
  static const std::vector<std::u16string> pools = [] {
    std::vector<std::u16string> made(3);
    for (char16_t c = 0; c < 256; ++c) made[0] += c;
    for (char16_t c = 0x3000; c < 0x3100; ++c) made[1] += c;
    for (char16_t c = 0xFF00; c != 0; ++c) made[2] += c;
    made.push_back(u"漢字一\U00020BB7\xD800\xDFFF\r\n");
    made.push_back(u"  \u00A0\u3000ﾞﾟｶﾊﾟ");
    made.push_back(u"ｶｷｸｹｺﾊﾋﾌﾍﾎｳﾜｦﾞﾟﾞﾟ ");
    made.push_back(u"abcXYZ019ａｂｃＸＹＺ０１９!#~ ");
    return made;
  }();
  std::u16string text;
  while (text.size() < length) {
    const std::u16string& pool = pools[random() % pools.size()];
    for (std::size_t n = 1 + random() % 70; n > 0; --n) text += pool[random() % pool.size()];
  }
  return text;
}

std::u16string Stepwise(const std::u16string& text, const Options& options) {
  return convert::ConvertStepByStep(text, ChainOf(options));
}

std::u16string Fused(const std::u16string& text, const Options& options) {
  return convert::FusedChain(ChainOf(options)).Convert(text);
}

// By ICU; a lone surrogate becomes U+FFFD.
std::string Utf8(std::u16string_view text) {
  std::string bytes;
  icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(bytes);
  return bytes;
}

std::u16string Utf16(const std::string& bytes) {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(bytes);
  return {reinterpret_cast<const char16_t*>(text.getBuffer()),
          static_cast<std::size_t>(text.length())};
}

std::string FusedUtf8(const std::string& bytes, const convert::FusedChain& chain) {
  std::string out(convert::FusedChain::Utf8RoomFor(bytes.size()), '\0');
  out.resize(chain.ConvertUtf8(bytes, out.data()));
  return out;
}

// The UTF-8 of the text in UTF-16 through the same chain.
std::string ExpectedUtf8(const std::string& bytes, const convert::FusedChain& chain) {
  return Utf8(chain.Convert(Utf16(bytes)));
}

// On every instruction set, whose vectors hold from 1 to 32 units.
TEST(FusedChain, MatchesTheStepsForEveryOptionSet) {
  const std::vector<Options> sets = EveryOptionSet();
  ASSERT_EQ(sets.size(), 81u * 3 * 7 * 4);
  testing::ForEachInstructionSet([&] {
    std::mt19937 random(24);
    for (const Options& options : sets) {
      const std::u16string text = RandomText(random, 300);
      const convert::FusedChain chain(ChainOf(options));
      ASSERT_EQ(chain.Convert(text), Stepwise(text, options)) << Describe(options);
      const std::string bytes = Utf8(text);
      ASSERT_EQ(FusedUtf8(bytes, chain), ExpectedUtf8(bytes, chain)) << Describe(options);
    }
  });
}

TEST(FusedChain, MatchesTheStepsAtTheEdgesOfATextAndOfItsBlocks) {
  const Options everything{Width::Full,      Width::Full,       Width::Full,        Width::Full,
                           Script::Hiragana, LetterCase::Upper, Spaces::PairsToFull};
  const Options startUp;
  const std::u16string spaces64(64, u' ');
  testing::ForEachInstructionSet([&] {
    for (const Options& options : {startUp, everything}) {
      for (const std::u16string& text :
           {std::u16string(), std::u16string(u"ﾞ"), std::u16string(u" "), std::u16string(u"\u00A0"),
            std::u16string(u"a "), spaces64 + u" ", std::u16string(31, u'a') + u"ｶ" + u"ﾞ",
            std::u16string(32, u'a') + u"ﾞ", std::u16string(31, u'a') + u"  b"}) {
        EXPECT_EQ(Fused(text, options), Stepwise(text, options)) << Describe(options);
      }
    }
  });
  // In UTF-8, what the pass takes one by one at each byte of a vector, and just after it.
  const Options allHalf{Width::Half,  Width::Half,      Width::Half,      Width::Half,
                        Script::Keep, LetterCase::Keep, Spaces::AllToHalf};
  testing::ForEachInstructionSet([&] {
    for (const Options& options : {startUp, everything, allHalf}) {
      const convert::FusedChain chain(ChainOf(options));
      for (std::size_t before = 0; before <= 66; ++before) {
        for (const std::string tail :
             {"ｶﾞ", "ｶ", "ﾞｶ", "  ", " \u00A0", "\u00A0 ", " ", "ｶﾞ\U00020BB7", "\U00020BB7ｶﾞ",
              "ガ\u00A5ａ", "\u00E9\u3000 "}) {
          for (const char filler : {'a', ' '}) {
            const std::string bytes = std::string(before, filler) + tail + "xyz";
            EXPECT_EQ(FusedUtf8(bytes, chain), ExpectedUtf8(bytes, chain))
                << Describe(options) << " at " << before << ": " << bytes;
            const std::string ending = std::string(before, filler) + tail;
            EXPECT_EQ(FusedUtf8(ending, chain), ExpectedUtf8(ending, chain))
                << Describe(options) << " at " << before << ": " << ending;
          }
        }
      }
    }
  });
  // Texts longer than the blocks between yields, for a sample of the option sets; the pass
  // owes a yield for each unit, as the steps do.
  std::mt19937 random(7);
  const std::vector<Options> sets = EveryOptionSet();
  for (int round = 0; round < 24; ++round) {
    const Options& options = sets[random() % sets.size()];
    const std::u16string text = RandomText(random, 40'000 + random() % 1000);
    const convert::FusedChain chain(ChainOf(options));
    std::u16string fused;
    {
      testing::YieldCounter yields;
      fused = chain.Convert(text);
      EXPECT_EQ(yields.total, text.size());
    }
    ASSERT_EQ(fused, Stepwise(text, options)) << Describe(options);
  }
}

// Where two texts first differ: to report rather than the texts.
template <class Text>
std::ptrdiff_t PartAt(const Text& a, const Text& b) {
  return std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
}

// Every twentieth Japanese manual page, in UTF-16.
std::u16string ManualPages() {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(testing::EveryTwentiethManualPage());
  return {reinterpret_cast<const char16_t*>(text.getBuffer()),
          static_cast<std::size_t>(text.length())};
}

TEST(FusedChain, MatchesTheStepsOnTheManualPages) {
  const std::u16string pages = ManualPages();
  if (pages.empty()) GTEST_SKIP() << "no Japanese manual pages (manpages-ja)";
  const Options allHalf{Width::Half,  Width::Half,      Width::Half,      Width::Half,
                        Script::Keep, LetterCase::Keep, Spaces::AllToHalf};
  const Options allFull{Width::Full,        Width::Full,      Width::Full,
                        Width::Full,        Script::Katakana, LetterCase::UpperFullWidth,
                        Spaces::PairsToFull};
  const Options hiragana{.kana = Script::Hiragana, .letterCase = LetterCase::Lower};
  const std::u16string halfWidth = Stepwise(pages, allHalf);
  for (const std::u16string& text : {pages, halfWidth}) {
    const std::string bytes = Utf8(text);
    for (const Options& options : {Options{}, allHalf, allFull, hiragana}) {
      const convert::FusedChain chain(ChainOf(options));
      const std::u16string ours = chain.Convert(text), reference = Stepwise(text, options);
      EXPECT_TRUE(ours == reference)
          << Describe(options) << ": they part at unit " << PartAt(ours, reference);
      const std::string oursInUtf8 = FusedUtf8(bytes, chain), referenceInUtf8 = Utf8(ours);
      EXPECT_TRUE(oursInUtf8 == referenceInUtf8)
          << Describe(options) << ": in UTF-8 they part at byte "
          << PartAt(oursInUtf8, referenceInUtf8);
    }
  }
}

}  // namespace
}  // namespace quobrel
