// What the fused pass works from: a conversion chain compiled by FusedChain.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "internal/char_map.h"
#include "internal/character_classes.h"
#include "internal/katakana_tables.h"

namespace quobrel::convert {

// A stretch of code units, first to first + span.
struct UnitStretch {
  char16_t first = 0;
  char16_t span = 0;
};

// A stretch whose units all move by one offset.
struct ShiftedStretch {
  UnitStretch units;
  char16_t delta = 0;
};

// What a character becomes in UTF-8: up to two characters of three bytes, written whole.
struct Utf8Result {
  std::array<std::uint8_t, 7> bytes{};
  std::uint8_t length = 0;
};
static_assert(sizeof(Utf8Result) == 8);

// The units' UTF-8 bytes; none is a surrogate.
constexpr Utf8Result InUtf8(std::initializer_list<char16_t> units) {
  Utf8Result result;
  for (char16_t unit : units) {
    auto put = [&result](unsigned byte) { result.bytes[result.length++] = byte & 0xFF; };
    if (unit < 0x80) {
      put(unit);
    } else if (unit < 0x800) {
      put(0xC0 | unit >> 6);
      put(0x80 | (unit & 0x3F));
    } else {
      put(0xE0 | unit >> 12);
      put(0x80 | (unit >> 6 & 0x3F));
      put(0x80 | (unit & 0x3F));
    }
  }
  return result;
}

// Where a character of the kana page (U+3000 to U+30FF) or of the forms page (U+FF00 to
// U+FFFF) lies in a table of the two, by its UTF-8 bytes, which are E3 80 80 to E3 83 BF
// and EF BC 80 to EF BF BF.
constexpr std::size_t ThreeByteIndex(const std::uint8_t* bytes) {
  return std::size_t{(bytes[0] >> 3 & 1u)} << 8 | (bytes[1] & 3u) << 6 | (bytes[2] & 0x3Fu);
}
constexpr std::size_t ThreeByteIndex(char16_t c) {
  return ThreeByteIndex(InUtf8({c}).bytes.data());
}
static_assert(ThreeByteIndex(u'\u3000') == 0 && ThreeByteIndex(u'\u30FF') == 255 &&
              ThreeByteIndex(u'\uFF00') == 256 && ThreeByteIndex(u'\uFFFF') == 511);

inline constexpr std::size_t kHalfWidthKanaCount =
    kHalfWidthKatakana.last - kHalfWidthKatakana.first + 1;

struct FusedPlan {
  // What each unit becomes with no neighbour in play. With pairing, a lone half-width
  // space comes out as U+0020, whichever it was.
  CharMap units;

  // A half-width kana followed by a voiced or semi-voiced mark makes one character:
  // composed[mark − ﾞ][kana − ｡], or 0 where it does not.
  bool composes = false;
  std::array<std::array<char16_t, kHalfWidthKanaCount>, 2> composed{};

  // Two half-width spaces side by side make one full-width space.
  bool pairsSpaces = false;

  // For the vector path: a group of units in which no unit lies in a stretch taken one by
  // one (nor two half-width spaces meet, with pairing) converts whole, each unit moving by
  // the offset of the shifted stretch it lies in, if any.
  static constexpr std::size_t kMaxShifted = 12;
  static constexpr std::size_t kMaxOneByOne = 4;
  std::array<ShiftedStretch, kMaxShifted> shifted{};
  std::size_t shiftedCount = 0;
  std::array<UnitStretch, kMaxOneByOne> oneByOne{};
  std::size_t oneByOneCount = 0;

  // For the UTF-8 pass, which copies what no unit of the table changes as it is and takes
  // the rest one character at a time, as its lead bytes tell. An ASCII character c is taken
  // where bit c >> 4 of asciiTaken[c & 15] is set; U+0080 to U+00FF, led by C2 and C3, when
  // latin1Taken. The kana page, E3 80 to E3 83, and the forms page, EF BC to EF BF, go by
  // 64 characters, told apart by the low four bits of their second byte: 0xFF in
  // blocksTaken[0 to 3] and [12 to 15] where taken.
  std::array<std::uint8_t, 16> asciiTaken{};
  bool latin1Taken = false;
  std::array<std::uint8_t, 16> blocksTaken{};
  // What the table and the compositions make of the characters of the pages it changes,
  // in UTF-8: U+0000 to U+00FF; the kana and forms pages by ThreeByteIndex.
  std::array<Utf8Result, 256> latin1Utf8{};
  std::array<Utf8Result, 512> threeByteUtf8{};
  std::array<std::array<Utf8Result, kHalfWidthKanaCount>, 2> composedUtf8{};
  Utf8Result fullWidthSpaceUtf8;
};

// Converts text[from, to) of a text of `size` units into `out` and returns the end of what
// it wrote; `held` carries a half-width space waiting for its pair from one call to the next.
char16_t* RunFusedPlan(const FusedPlan& plan, const char16_t* text, std::size_t size,
                       std::size_t from, std::size_t to, char16_t* out, bool& held);

// Converts the valid UTF-8 text of `size` bytes from `at` to `to` or a little past it, where
// `at` is left, into `out`, which has room for three bytes for each byte read and 64 more
// to write a vector ahead; returns the end of what it wrote. `at` may lie inside a
// character that comes out as it was, but never inside a pair of spaces or a kana with its
// mark.
char* RunFusedPlanUtf8(const FusedPlan& plan, const char* text, std::size_t size, std::size_t& at,
                       std::size_t to, char* out);

}  // namespace quobrel::convert
