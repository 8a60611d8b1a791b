// What each choice of the Convert command's options tells the engine. The options
// themselves are the library's (quobrel/quobrel.h), which every front end shares.
#pragma once

#include <array>
#include <cstddef>

#include "engine/conversion_chain.h"
#include "engine/conversions.h"
#include "quobrel/quobrel.h"

namespace quobrel {

// What the engine is told for each choice: one row a choice, in the order of its enum.
struct LetterCaseRow {
  LetterCase choice;
  convert::CaseChange change;
};
// clang-format off
inline constexpr std::array<LetterCaseRow, 7> kLetterCaseRows{{
    //                           halfWidth fullWidth toUpper
    {LetterCase::Keep,           {false,   false,    false}},
    {LetterCase::Upper,          {true,    true,     true}},
    {LetterCase::Lower,          {true,    true,     false}},
    {LetterCase::UpperFullWidth, {false,   true,     true}},
    {LetterCase::LowerFullWidth, {false,   true,     false}},
    {LetterCase::UpperHalfWidth, {true,    false,    true}},
    {LetterCase::LowerHalfWidth, {true,    false,    false}},
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

struct ScriptRow {
  Script choice;
  convert::KanaScript to;
};
inline constexpr std::array<ScriptRow, 3> kScriptRows{{
    {Script::Keep, convert::KanaScript::Unchanged},
    {Script::Hiragana, convert::KanaScript::Hiragana},
    {Script::Katakana, convert::KanaScript::Katakana},
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
static_assert(EveryChoiceInItsRow(kLetterCaseRows, LetterCase::LowerHalfWidth));
static_assert(EveryChoiceInItsRow(kSpacesRows, Spaces::AllToHalf));
static_assert(EveryChoiceInItsRow(kScriptRows, Script::Katakana));

constexpr convert::CaseChange CaseChangeOf(LetterCase choice) {
  return kLetterCaseRows[static_cast<std::size_t>(choice)].change;
}
constexpr convert::SpaceMode SpaceModeOf(Spaces choice) {
  return kSpacesRows[static_cast<std::size_t>(choice)].mode;
}
constexpr convert::KanaScript KanaScriptOf(Script choice) {
  return kScriptRows[static_cast<std::size_t>(choice)].to;
}

// The classes of characters `options` takes to `width`.
constexpr convert::WidthClasses ClassesOf(const Options& options, Width width) {
  return {.digits = options.digits == width,
          .letters = options.letters == width,
          .katakana = options.katakana == width,
          .symbols = options.symbols == width};
}

constexpr convert::ConversionChain ChainOf(const Options& options) {
  return {.script = KanaScriptOf(options.kana),
          .toFullWidth = ClassesOf(options, Width::Full),
          .toHalfWidth = ClassesOf(options, Width::Half),
          .letterCase = CaseChangeOf(options.letterCase),
          .spaces = SpaceModeOf(options.spaces)};
}

}  // namespace quobrel
