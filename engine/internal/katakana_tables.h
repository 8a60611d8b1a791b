// kKatakanaTable and the width correspondence of the katakana, written as the literal
// strings they are, with the lookup tables the scans use derived from them at compile time.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "internal/character_classes.h"

namespace quobrel::convert {

// The full-width characters that have a half-width katakana form, used only as a set.
// Pieces 2 to 4 are rows of five places; "、" fills the empty ones (and is a member anyway).
inline constexpr std::u16string_view kKatakanaTable =
    u"。「」、・ヲァィゥェォャュョッー"                            // U+FF61 to U+FF70, in order
    u"アイウエオ、カキクケコ、サシスセソ、タチツテト、ナニヌネノ"  // U+FF71 to U+FF85
    u"ハヒフヘホ、マミムメモ、ヤユヨ、、、ラリルレロ、ワン"        // U+FF8A to U+FF9D
    u"゛゜ヴ、、、ガギグゲゴ、ザジズゼゾ、ダヂヅデド、バビブベボ、パピプペポ";
static_assert(kKatakanaTable.size() == 16 + 29 + 26 + 35);

// Every half-width katakana, U+FF61 to U+FF9F in code order, and its full-width counterpart:
// the compatibility mapping, with the spacing marks for ﾞ and ﾟ.
inline constexpr std::u16string_view kHalfWidthKatakanaInOrder =
    u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ";
inline constexpr std::u16string_view kFullWidthKatakana =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(kHalfWidthKatakanaInOrder.size() ==
              kHalfWidthKatakana.last - kHalfWidthKatakana.first + 1);
static_assert(kFullWidthKatakana.size() == kHalfWidthKatakanaInOrder.size());

inline constexpr char16_t kVoicedMark = u'ﾞ';
inline constexpr char16_t kSemiVoicedMark = u'ﾟ';
static_assert(kSemiVoicedMark == kVoicedMark + 1);

constexpr bool IsVoicedMark(char16_t c) { return static_cast<char16_t>(c - kVoicedMark) < 2; }

// The kana that exist as one full-width character with a mark, over their half-width bases.
inline constexpr std::u16string_view kVoicedKana = u"ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ";
inline constexpr std::u16string_view kVoicedBases = u"ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ";
inline constexpr std::u16string_view kSemiVoicedKana = u"パピプペポ";
inline constexpr std::u16string_view kSemiVoicedBases = u"ﾊﾋﾌﾍﾎ";
static_assert(kVoicedKana.size() == 21 && kVoicedBases.size() == 21);
static_assert(kSemiVoicedKana.size() == 5 && kSemiVoicedBases.size() == 5);

namespace detail {

constexpr std::size_t HalfWidthIndex(char16_t halfWidthKana) {
  return static_cast<std::size_t>(halfWidthKana - kHalfWidthKatakanaInOrder.front());
}

// kCompositions[mark][base]: the composed kana, or 0 where there is none. A last row for
// "not a mark" and a last column for "not a kana", all 0, let any two characters be
// looked up without a branch.
constexpr std::size_t kNotAMark = 2;
constexpr std::size_t kNotAKana = kHalfWidthKatakanaInOrder.size();
using CompositionTable = std::array<std::array<char16_t, kNotAKana + 1>, kNotAMark + 1>;
constexpr CompositionTable MakeCompositionTable() {
  CompositionTable table{};
  for (std::size_t i = 0; i < kVoicedKana.size(); ++i) {
    table[0][HalfWidthIndex(kVoicedBases[i])] = kVoicedKana[i];
  }
  for (std::size_t i = 0; i < kSemiVoicedKana.size(); ++i) {
    table[1][HalfWidthIndex(kSemiVoicedBases[i])] = kSemiVoicedKana[i];
  }
  return table;
}
inline constexpr CompositionTable kCompositions = MakeCompositionTable();

}  // namespace detail

// The half-width form of a member of kKatakanaTable: one character, or a base and a mark.
struct NarrowKana {
  char16_t first = 0;  // 0: not a member
  char16_t second = 0;
};

namespace detail {

// Every member lies in U+3000 to U+30FF, so one block of 256 entries covers them all.
inline constexpr char16_t kKanaBlock = u'\u3000';
using NarrowingTable = std::array<NarrowKana, 256>;
constexpr NarrowingTable MakeNarrowingTable() {
  NarrowingTable table{};
  for (std::size_t i = 0; i < kFullWidthKatakana.size(); ++i) {
    table[kFullWidthKatakana[i] - kKanaBlock] = {kHalfWidthKatakanaInOrder[i], 0};
  }
  for (std::size_t i = 0; i < kVoicedKana.size(); ++i) {
    table[kVoicedKana[i] - kKanaBlock] = {kVoicedBases[i], kVoicedMark};
  }
  for (std::size_t i = 0; i < kSemiVoicedKana.size(); ++i) {
    table[kSemiVoicedKana[i] - kKanaBlock] = {kSemiVoicedBases[i], kSemiVoicedMark};
  }
  return table;
}
inline constexpr NarrowingTable kNarrowing = MakeNarrowingTable();

// The derived tables describe exactly the members of kKatakanaTable.
constexpr bool NarrowingCoversExactlyKatakanaTable() {
  for (char16_t member : kKatakanaTable) {
    if (member < kKanaBlock || member - kKanaBlock >= 256 ||
        kNarrowing[member - kKanaBlock].first == 0) {
      return false;
    }
  }
  for (std::size_t i = 0; i < kNarrowing.size(); ++i) {
    if (kNarrowing[i].first != 0 &&
        kKatakanaTable.find(static_cast<char16_t>(kKanaBlock + i)) == std::u16string_view::npos) {
      return false;
    }
  }
  return true;
}
static_assert(NarrowingCoversExactlyKatakanaTable());

}  // namespace detail

constexpr char16_t WidenKatakana(char16_t halfWidthKana) {
  return kFullWidthKatakana[detail::HalfWidthIndex(halfWidthKana)];
}

// The full-width kana that `c` followed by `next` composes into: 0 unless `c` is a
// half-width kana, `next` a voiced or semi-voiced mark, and the composed kana exists.
constexpr char16_t ComposeKatakana(char16_t c, char16_t next) {
  using namespace detail;
  const auto kana = static_cast<std::size_t>(static_cast<char16_t>(c - kHalfWidthKatakana.first));
  const auto mark = static_cast<std::size_t>(static_cast<char16_t>(next - kVoicedMark));
  return kCompositions[std::min(mark, kNotAMark)][std::min(kana, kNotAKana)];
}

constexpr NarrowKana NarrowKatakana(char16_t c) {
  const auto offset = static_cast<char16_t>(c - detail::kKanaBlock);
  return offset < detail::kNarrowing.size() ? detail::kNarrowing[offset] : NarrowKana{};
}

}  // namespace quobrel::convert
