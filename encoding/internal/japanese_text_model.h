// How much a text looks like Japanese as people write it, measured as its surprisal
// under a model of the Japanese manual pages: each character costs by how often such
// text has it, and by how often its class follows the class of the one before (a kanji
// after a kanji, a kana after a kanji, a letter after a space …); a katakana after a
// katakana costs by how often the pair occurs, so that katakana in no word's order, as
// kanji misread as half-width katakana are, cost more than a word does. A misread text, with
// its level-2 kanji, private-use characters, control codes or letters of scripts that
// Japanese text never mixes in, costs far more than a real one.
#pragma once

#include <unicode/utf16.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quobrel {

enum class CharacterClass : std::uint8_t {
  LineBreak,  // and the start of a text
  Space,      // also tabs and the ideographic space
  AsciiLetter,
  AsciiDigit,
  AsciiSymbol,
  Hiragana,
  Katakana,     // with the prolonged sound mark and the middle dot
  CommonKanji,  // JIS level 1
  RareKanji,    // every other ideograph
  JapanesePunctuation,
  FullWidthForm,  // of ASCII, and the yen sign and its kin
  OtherJis,       // the other characters the Japanese code pages hold: Greek, box drawing …
  OtherLetter,    // the rest of two-byte UTF-8 and of general punctuation and symbols
  Unlikely,       // controls, private use, unassigned, other scripts
};
inline constexpr std::size_t kCharacterClassCount = 14;

// The katakana block, whose pairs the model knows: ゠ to ヿ.
inline constexpr char32_t kKatakanaFirst = 0x30A0;
inline constexpr std::size_t kKatakanaBlock = 0x60;
constexpr bool IsInKatakanaBlock(char32_t c) {
  return c >= kKatakanaFirst && c < kKatakanaFirst + kKatakanaBlock;
}

// Surprisal is counted in quarter bits.
inline constexpr int kUnitsPerBit = 4;

CharacterClass ClassOf(char32_t c);

// Calls `visit(previous, class, character, previousCharacter)` for each character of a text that
// starts after a line break, half-width katakana given as their full-width counterparts.
template <typename Visit>
void ForEachCharacter(std::u16string_view text, const Visit& visit);

// The surprisal of a text that starts after a line break (or at the start), in quarter
// bits. Half-width katakana cost what their full-width counterparts do: a text in them has
// twice the characters of the two-byte reading of the same bytes, which is cost enough.
long Surprisal(std::u16string_view text);

// The text with its half-width katakana, if any, full-width.
std::u16string_view Widened(std::u16string_view text, std::u16string& storage);

template <typename Visit>
void ForEachCharacter(std::u16string_view text, const Visit& visit) {
  std::u16string storage;
  text = Widened(text, storage);
  CharacterClass previous = CharacterClass::LineBreak;
  char32_t previousCharacter = u'\n';
  for (std::size_t i = 0; i < text.size();) {
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    const CharacterClass of = ClassOf(static_cast<char32_t>(c));
    visit(previous, of, static_cast<char32_t>(c), previousCharacter);
    previous = of;
    previousCharacter = static_cast<char32_t>(c);
  }
}

}  // namespace quobrel
