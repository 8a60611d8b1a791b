// Pembo95: the conversion engine. Pure functions on UTF-16 text; each returns a new
// string and leaves its arguments alone. Option codes are three characters of "0"/"1";
// a position selects its class exactly when it holds '1'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "yield_hook.h"

namespace quobrel::Pembo95 {

// Full-width digits (position 1), Latin letters (2) and katakana (3) to half-width.
// A voiced or semi-voiced kana becomes two characters, so the result can grow.
std::u16string ToHalfWidth(std::u16string_view text, std::string_view optionCode);

// Half-width digits (1), Latin letters (2) and katakana (3) to full-width; a kana
// directly followed by a voiced or semi-voiced mark composes into one character.
std::u16string ToFullWidth(std::u16string_view text, std::string_view optionCode);

// Case of the Latin letters: position 1 half-width, 2 full-width, 3 '1' upper else lower.
std::u16string ConvertLetterCase(std::u16string_view text, std::string_view caseCode);

// Spaces: "101" pairs of half-width spaces to one full-width space, "100" every
// half-width space to full-width, "010" every full-width space to half-width.
std::u16string ConvertSpaces(std::u16string_view text, std::string_view spaceCode);

enum class CompareMode {
  Exact = 0,       // code unit for code unit
  IgnoreCase = 1,  // simple case folding of each code point; width and kana type still count
};

// Replaces every occurrence of `search` (non-empty), left to right, without overlap and
// without searching inserted text again. Sets ReplaceCount() to the replacements made.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view search,
                          std::u16string_view replacement, CompareMode mode);

// The number of replacements made by the last call of ReplaceAll in this program.
std::size_t ReplaceCount();

}  // namespace quobrel::Pembo95
