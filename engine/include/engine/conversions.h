// The conversion engine: pure functions on UTF-16 text. Each returns a new string and
// leaves its arguments alone; the options say which characters each one touches.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/yield_hook.h"

namespace quobrel::convert {

// The classes of characters a width conversion touches.
struct WidthClasses {
  bool digits = false;
  bool letters = false;  // Latin letters
  bool katakana = false;
  // The printable ASCII characters other than digits, letters and " ' \ ~.
  bool symbols = false;
  constexpr bool Any() const { return digits || letters || katakana || symbols; }
};

// Full-width digits, Latin letters, katakana and symbols to half-width. A voiced or
// semi-voiced kana becomes two characters, so the result can grow.
std::u16string ToHalfWidth(std::u16string_view text, WidthClasses classes);

// Half-width digits, Latin letters, katakana and symbols to full-width; a kana directly
// followed by a voiced or semi-voiced mark composes into one character.
std::u16string ToFullWidth(std::u16string_view text, WidthClasses classes);

enum class KanaScript { Unchanged, Hiragana, Katakana };

// Full-width katakana to hiragana or the other way: the letters ァ to ヶ (with ヴ ヵ ヶ) and
// the iteration marks ヽ ヾ, each to the character of the same sound. What has no
// counterpart in the other script (ヷ to ヺ, ヿ, ゟ), what both share (ー ・ and the voiced
// marks) and half-width katakana stay as they are.
std::u16string ConvertKanaScript(std::u16string_view text, KanaScript to);

// Which Latin letters change case, and which way.
struct CaseChange {
  bool halfWidth = false;
  bool fullWidth = false;
  bool toUpper = false;
  constexpr bool Any() const { return halfWidth || fullWidth; }
};

std::u16string ConvertLetterCase(std::u16string_view text, CaseChange change);

enum class SpaceMode {
  Unchanged,
  PairsToFullWidth,  // each pair of half-width spaces to one full-width space
  AllToFullWidth,    // every half-width space to full-width
  AllToHalfWidth,    // every full-width space to half-width
};

std::u16string ConvertSpaces(std::u16string_view text, SpaceMode mode);

enum class CompareMode {
  Exact,       // code unit for code unit
  IgnoreCase,  // simple case folding of each code point; width and kana type still count
};

struct Replaced {
  std::u16string text;
  std::size_t count = 0;  // the replacements made
  bool operator==(const Replaced&) const = default;
};

// Replaces every occurrence of `search` (non-empty), left to right, without overlap and
// without searching inserted text again.
Replaced ReplaceAll(std::u16string_view text, std::u16string_view search,
                    std::u16string_view replacement, CompareMode mode);

// ReplaceAll over a text that goes on in a later piece: replaces the matches that lie
// wholly in `text`, and leaves as it is the tail where a match could start that goes on
// beyond it (the last search length − 1 code units, less any a match took; never half of a
// surrogate pair). The caller puts that tail before the next piece.
struct ReplacedHead {
  std::u16string text;  // the result for text[0, tailStart)
  std::size_t count = 0;
  std::size_t tailStart = 0;
};
ReplacedHead ReplaceAllButTail(std::u16string_view text, std::u16string_view search,
                               std::u16string_view replacement, CompareMode mode);

}  // namespace quobrel::convert
