// What the fused pass works from: a conversion chain compiled by FusedChain.
#pragma once

#include <array>
#include <cstddef>

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
};

// Converts text[from, to) of a text of `size` units into `out` and returns the end of what
// it wrote; `held` carries a half-width space waiting for its pair from one call to the next.
char16_t* RunFusedPlan(const FusedPlan& plan, const char16_t* text, std::size_t size,
                       std::size_t from, std::size_t to, char16_t* out, bool& held);

}  // namespace quobrel::convert
