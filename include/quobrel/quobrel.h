// libquobrel: Japanese text between full-width and half-width forms, kana script and
// letter case, and the replacement of every occurrence of a text, for other programs.
// The conversions are quobrel-cli's, byte for byte. Every function is pure and may be
// called from any thread. The header needs C++20.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#define QUOBREL_API __attribute__((visibility("default")))

namespace quobrel {

enum class Width { Keep, Full, Half };

enum class Script { Keep, Hiragana, Katakana };

// Which Latin letters change case, and which way: all of them, or the full-width or the
// half-width ones only.
enum class LetterCase {
  Keep,
  Upper,
  Lower,
  UpperFullWidth,
  LowerFullWidth,
  UpperHalfWidth,
  LowerHalfWidth,
};

enum class Spaces {
  Keep,
  PairsToFull,  // each pair of half-width spaces to one full-width space
  AllToFull,
  AllToHalf,
};

// What Convert converts. The defaults are what the window selects at start-up:
// half-width katakana to full-width, composing their voiced and semi-voiced marks, and
// each pair of half-width spaces to a full-width one.
struct Options {
  Width digits = Width::Keep;
  Width letters = Width::Keep;  // Latin letters
  // The printable ASCII characters other than digits, letters, the space and " ' \ ~.
  Width symbols = Width::Keep;
  Width katakana = Width::Full;
  Script kana = Script::Keep;  // full-width katakana to hiragana, or the other way
  LetterCase letterCase = LetterCase::Keep;
  Spaces spaces = Spaces::PairsToFull;

  bool operator==(const Options&) const = default;
};

// A text that is not valid UTF-8 or UTF-16, or an empty search text.
class QUOBREL_API Error : public std::runtime_error {
 public:
  Error(const std::string& what, std::size_t offset);
  ~Error() override;
  // Where in the argument the message names the fault lies: a byte of UTF-8, a unit of
  // UTF-16.
  std::size_t Offset() const noexcept { return offset_; }

 private:
  std::size_t offset_;
};

// The text converted as `options` say, in this order: kana script, full-width, half-width,
// letter case, spaces.
QUOBREL_API std::string Convert(std::string_view utf8, const Options& options = {});
QUOBREL_API std::u16string Convert(std::u16string_view text, const Options& options = {});

// Every occurrence of `search` replaced, left to right and without overlap; `count`, if
// given, is set to the number of replacements. Without `matchCase`, letters match in
// either case (full-width and half-width forms still differ).
QUOBREL_API std::string Replace(std::string_view utf8, std::string_view search,
                                std::string_view replacement, bool matchCase = false,
                                std::size_t* count = nullptr);
QUOBREL_API std::u16string Replace(std::u16string_view text, std::u16string_view search,
                                   std::u16string_view replacement, bool matchCase = false,
                                   std::size_t* count = nullptr);

}  // namespace quobrel
