// What the Convert command converts, as every front end says it. The default changes nothing.
#pragma once

#include <array>
#include <cstddef>

#include "engine/conversions.h"

namespace quobrel {

enum class Width { Keep, Full, Half };

// Which Latin letters change case, and which way.
enum class LetterCase {
  Keep,
  AllUpper,
  AllLower,
  FullWidthUpper,
  FullWidthLower,
  HalfWidthUpper,
  HalfWidthLower,
};

enum class Spaces {
  Keep,
  PairsToFull,  // each pair of half-width spaces to one full-width space
  AllToFull,
  AllToHalf,
};

struct ConvertOptions {
  Width digits = Width::Keep;
  Width letters = Width::Keep;  // Latin letters
  Width symbols = Width::Keep;  // the printable ASCII characters but " ' \ ~
  Width katakana = Width::Keep;
  convert::KanaScript kana = convert::KanaScript::Unchanged;
  LetterCase letterCase = LetterCase::Keep;
  Spaces spaces = Spaces::Keep;

  bool operator==(const ConvertOptions&) const = default;
};

// What the window selects at every start, and quobrel-cli converts when told nothing:
// katakana to full-width and pairs of half-width spaces to full-width, nothing else.
inline constexpr ConvertOptions kStartUpOptions{.katakana = Width::Full,
                                                .spaces = Spaces::PairsToFull};

// What the engine is told for each choice: one row a choice, in the order of its enum.
struct LetterCaseRow {
  LetterCase choice;
  convert::CaseChange change;
};
// clang-format off
inline constexpr std::array<LetterCaseRow, 7> kLetterCaseRows{{
    //                           halfWidth fullWidth toUpper
    {LetterCase::Keep,           {false,   false,    false}},
    {LetterCase::AllUpper,       {true,    true,     true}},
    {LetterCase::AllLower,       {true,    true,     false}},
    {LetterCase::FullWidthUpper, {false,   true,     true}},
    {LetterCase::FullWidthLower, {false,   true,     false}},
    {LetterCase::HalfWidthUpper, {true,    false,    true}},
    {LetterCase::HalfWidthLower, {true,    false,    false}},
}};
// clang-format on

struct SpacesRow {
  Spaces choice;
  convert::SpaceMode mode;
};
inline constexpr std::array<SpacesRow, 4> kSpacesRows{{
    {Spaces::Keep, convert::SpaceMode::Unchanged},
    {Spaces::PairsToFull, convert::SpaceMode::PairsToFullWidth},
    {Spaces::AllToFull, convert::SpaceMode::AllToFullWidth},
    {Spaces::AllToHalf, convert::SpaceMode::AllToHalfWidth},
}};

// Each choice has its row, where the lookups below find it.
template <class Row, std::size_t kCount>
constexpr bool EveryChoiceInItsRow(const std::array<Row, kCount>& rows, auto lastChoice) {
  if (static_cast<std::size_t>(lastChoice) + 1 != kCount) return false;
  for (std::size_t i = 0; i < kCount; ++i) {
    if (static_cast<std::size_t>(rows[i].choice) != i) return false;
  }
  return true;
}
static_assert(EveryChoiceInItsRow(kLetterCaseRows, LetterCase::HalfWidthLower));
static_assert(EveryChoiceInItsRow(kSpacesRows, Spaces::AllToHalf));

constexpr convert::CaseChange CaseChangeOf(LetterCase choice) {
  return kLetterCaseRows[static_cast<std::size_t>(choice)].change;
}
constexpr convert::SpaceMode SpaceModeOf(Spaces choice) {
  return kSpacesRows[static_cast<std::size_t>(choice)].mode;
}

}  // namespace quobrel
