// The option codes the conversions are specified by: three characters of '0' and '1', a
// position selecting its class exactly when it holds '1'. Read here, and only here, into
// the engine's options.
#pragma once

#include <string_view>

#include "engine/conversions.h"

namespace quobrel {

constexpr bool Selects(std::string_view code, std::size_t position) {
  return position < code.size() && code[position] == '1';
}

// Digits, Latin letters, katakana.
constexpr convert::WidthClasses WidthCode(std::string_view code) {
  return {Selects(code, 0), Selects(code, 1), Selects(code, 2)};
}

// Half-width letters, full-width letters, upper case ('1') or lower case ('0').
constexpr convert::CaseChange CaseCode(std::string_view code) {
  return {Selects(code, 0), Selects(code, 1), Selects(code, 2)};
}

// Half-width spaces to full-width, full-width spaces to half-width, pairs only.
constexpr convert::SpaceMode SpaceCode(std::string_view code) {
  using enum convert::SpaceMode;
  if (Selects(code, 0)) return Selects(code, 2) ? PairsToFullWidth : AllToFullWidth;
  return Selects(code, 1) ? AllToHalfWidth : Unchanged;
}

static_assert(SpaceCode("101") == convert::SpaceMode::PairsToFullWidth);
static_assert(SpaceCode("100") == convert::SpaceMode::AllToFullWidth);
static_assert(SpaceCode("010") == convert::SpaceMode::AllToHalfWidth);
static_assert(SpaceCode("000") == convert::SpaceMode::Unchanged);
static_assert(CaseCode("011").fullWidth && CaseCode("011").toUpper && !CaseCode("011").halfWidth);

}  // namespace quobrel
