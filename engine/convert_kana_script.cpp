#include <array>

#include "engine/conversions.h"
#include "internal/char_map.h"
#include "internal/character_classes.h"
#include "internal/text_builder.h"

namespace quobrel::convert {
namespace {

// The kana of one script that have a counterpart in the other, in two runs: the letters
// ぁ to ん with ゔ ゕ ゖ, and the iteration marks ゝ ゞ. The katakana lie in runs of the same
// shape, kKatakanaOffset higher. Between the runs, U+3097 to U+309C are unassigned or the
// voiced marks both scripts use, and ヷ to ヺ ・ ー have no hiragana.
constexpr std::array<CharRange, 2> kHiraganaRuns{{{u'ぁ', u'ゖ'}, {u'ゝ', u'ゞ'}}};
constexpr std::array<CharRange, 2> kKatakanaRuns{{{u'ァ', u'ヶ'}, {u'ヽ', u'ヾ'}}};
constexpr char16_t kKatakanaOffset = u'ア' - u'あ';

constexpr bool RunsLieOneOffsetApart() {
  for (std::size_t i = 0; i < kHiraganaRuns.size(); ++i) {
    if (kKatakanaRuns[i].first - kHiraganaRuns[i].first != kKatakanaOffset ||
        kKatakanaRuns[i].last - kHiraganaRuns[i].last != kKatakanaOffset) {
      return false;
    }
  }
  return true;
}
static_assert(RunsLieOneOffsetApart());
static_assert(u'ン' - u'ん' == kKatakanaOffset && u'ヴ' - u'ゔ' == kKatakanaOffset);
// The 83 letters ぁ to ん, then ゔ ゕ ゖ.
static_assert(kHiraganaRuns[0].last - kHiraganaRuns[0].first + 1 == 83 + 3);

}  // namespace

// Every kana that changes moves by one offset, so whole groups of eight convert at once.
std::u16string ConvertKanaScript(std::u16string_view text, KanaScript to) {
  if (to == KanaScript::Unchanged) return std::u16string(text);
  const bool toKatakana = to == KanaScript::Katakana;
  const std::array<CharRange, 2>& changing = toKatakana ? kHiraganaRuns : kKatakanaRuns;
  const int shift = toKatakana ? kKatakanaOffset : -kKatakanaOffset;
  CharMap change;
  for (const CharRange& run : changing) change.SetRange(run, shift);

  auto convertLanes = [&](Lanes lanes, TextWriter& out) {
    const LaneMask changed = LanesInRange(lanes, changing[0]) | LanesInRange(lanes, changing[1]);
    out.Put(lanes + Where(changed, static_cast<char16_t>(shift)));
  };
  auto oneByOne = [](std::size_t) { return LaneMask{}; };
  auto convertOne = [&](std::size_t i, TextWriter& out) { out.Put(change.First(text[i])); };
  return ProduceText(text, text.size(), [&](TextWriter& out, std::size_t from, std::size_t until) {
    ConvertBlock(text, from, until, out, oneByOne, convertLanes, convertOne);
  });
}

}  // namespace quobrel::convert
