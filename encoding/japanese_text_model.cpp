#include "internal/japanese_text_model.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "encoding/text_codec.h"
#include "engine/conversions.h"
#include "internal/code_walk.h"

namespace quobrel {
namespace {

struct CharacterCost {
  char32_t character;
  std::uint8_t cost;
};

#include "model/japanese_text_model.inc"

static_assert(std::size(kClassFollowingCost) == kCharacterClassCount);
static_assert(std::size(kUnseenCharacterCost) == kCharacterClassCount);
static_assert(std::size(kKatakanaFollowingCost) == kKatakanaBlock);
static_assert(std::is_sorted(std::begin(kSeenCharacterCosts), std::end(kSeenCharacterCosts),
                             [](const CharacterCost& a, const CharacterCost& b) {
                               return a.character < b.character;
                             }));

using enum CharacterClass;

struct Range {
  char32_t first, last;
  CharacterClass of;
};
// In order: a later range overrides an earlier one.
constexpr Range kRanges[] = {
    {0x00A0, 0x07FF, OtherLetter},
    {0x2000, 0x2BFF, OtherLetter},
    {0x1F000, 0x1FAFF, OtherLetter},
    {u'\t', u'\t', Space},
    {u'\n', u'\n', LineBreak},
    {u'\r', u'\r', LineBreak},
    {u' ', u'~', AsciiSymbol},
    {u' ', u' ', Space},
    {u'0', u'9', AsciiDigit},
    {u'A', u'Z', AsciiLetter},
    {u'a', u'z', AsciiLetter},
    {u'　', u'　', Space},
    {u'、', u'〿', JapanesePunctuation},
    {u'ぁ', u'ゖ', Hiragana},
    {u'ゝ', u'ゟ', Hiragana},
    {0x3099, 0x309C, OtherJis},  // the voiced and semi-voiced marks
    {u'゠', u'ヿ', Katakana},
    {0x3400, 0x4DBF, RareKanji},
    {0x4E00, 0x9FFF, RareKanji},
    {0xF900, 0xFAFF, RareKanji},
    {u'！', u'～', FullWidthForm},
    {u'￠', u'￦', FullWidthForm},
    {u'｡', u'ﾟ', Katakana},
    {0x20000, 0x3FFFF, RareKanji},
};

// Calls `visit(character, code)` for each code of two bytes of `encoding` in [first, last]
// that reads as one character.
template <typename Visit>
void ForEachCharacterOf(TextEncoding encoding, AlternateCodes::Code first,
                        AlternateCodes::Code last, const Visit& visit) {
  ForEachPossibleCode(encoding, [&](AlternateCodes::Code code) {
    if (code < first || code > last) return;
    const auto decoded = Decode(BytesOf(code), encoding);
    if (decoded && decoded->size() == 1) visit((*decoded)[0], code);
  });
}

std::array<CharacterClass, 0x10000> BmpClasses() {
  std::array<CharacterClass, 0x10000> classes;
  classes.fill(Unlikely);
  for (const Range& range : kRanges) {
    for (char32_t c = range.first; c <= std::min<char32_t>(range.last, 0xFFFF); ++c) {
      classes[c] = range.of;
    }
  }
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const auto type = static_cast<UCharCategory>(u_charType(static_cast<UChar32>(c)));
    if (type == U_UNASSIGNED || type == U_CONTROL_CHAR || type == U_PRIVATE_USE_CHAR ||
        type == U_SURROGATE) {
      if (classes[c] != LineBreak && classes[c] != Space) classes[c] = Unlikely;
    }
  }
  // What the Japanese code pages hold, but for private use, is not unlikely at all.
  const auto markJis = [&](char16_t c, AlternateCodes::Code) {
    if (classes[c] == OtherLetter ||
        (classes[c] == Unlikely && u_charType(c) != U_PRIVATE_USE_CHAR))
      classes[c] = OtherJis;
  };
  ForEachCharacterOf(TextEncoding::Cp932, 0x8140, 0x84FC, markJis);  // symbols to box drawing
  ForEachCharacterOf(TextEncoding::Cp932, 0x8740, 0x87FC, markJis);  // NEC's row 13
  ForEachCharacterOf(TextEncoding::EucJp, 0xA1A1, 0xA8FE, markJis);  // rows 1 to 8
  // JIS level 1: code page 932's 889F to 9872.
  ForEachCharacterOf(TextEncoding::Cp932, 0x889F, 0x9872,
                     [&](char16_t c, AlternateCodes::Code) { classes[c] = CommonKanji; });
  return classes;
}

struct Model {
  std::array<CharacterClass, 0x10000> classes = BmpClasses();
  std::array<std::uint8_t, 0x10000> costs{};
  Model() {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
      costs[c] = kUnseenCharacterCost[static_cast<std::size_t>(classes[c])];
    }
    for (const CharacterCost& seen : kSeenCharacterCosts) costs[seen.character] = seen.cost;
  }
};

const Model& TheModel() {
  static const auto model = std::make_unique<Model>();
  return *model;
}

bool IsHalfWidthKatakana(char16_t c) { return c >= u'｡' && c <= u'ﾟ'; }

}  // namespace

CharacterClass ClassOf(char32_t c) {
  if (c <= 0xFFFF) return TheModel().classes[c];
  for (auto range = std::rbegin(kRanges); range != std::rend(kRanges); ++range) {
    if (c >= range->first && c <= range->last) return range->of;
  }
  return Unlikely;
}

std::u16string_view Widened(std::u16string_view text, std::u16string& storage) {
  if (std::none_of(text.begin(), text.end(), IsHalfWidthKatakana)) return text;
  storage = convert::ToFullWidth(text, {.katakana = true});
  return storage;
}

long Surprisal(std::u16string_view text) {
  const Model& model = TheModel();
  long cost = 0;
  ForEachCharacter(text, [&](CharacterClass previous, CharacterClass of, char32_t c,
                             char32_t previousCharacter) {
    const auto k = static_cast<std::size_t>(of);
    cost += kClassFollowingCost[static_cast<std::size_t>(previous)][k];
    if (IsInKatakanaBlock(c) && IsInKatakanaBlock(previousCharacter)) {
      cost += kKatakanaFollowingCost[previousCharacter - kKatakanaFirst][c - kKatakanaFirst];
    } else {
      cost += c <= 0xFFFF ? model.costs[c] : kUnseenCharacterCost[k];
    }
  });
  return cost;
}

}  // namespace quobrel
