// The conversions of the Convert command as one chain, in their order: kana script first,
// so that hiragana can end up as half-width katakana, then full width, half width, letter
// case and spaces. The chain runs step by step, each step a pass that yields as it goes, or
// fused into a single pass that gives the same result.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/conversions.h"

namespace quobrel::convert {

struct ConversionChain {
  KanaScript script = KanaScript::Unchanged;
  WidthClasses toFullWidth;
  WidthClasses toHalfWidth;
  CaseChange letterCase;
  SpaceMode spaces = SpaceMode::Unchanged;
};

// Runs each step the chain selects. `current()` is asked for the chain again as each
// step's turn comes, and only that step's part is taken: what changes while a long text
// converts takes effect in the same run.
std::u16string ConvertStepByStep(std::u16string text,
                                 const std::function<ConversionChain()>& current);
std::u16string ConvertStepByStep(std::u16string text, const ConversionChain& chain);

struct FusedPlan;

// A chain that stays as it is, compiled into one pass: a table of what each code unit
// becomes, a look-behind for the voiced marks and the pairs of spaces, and stretches that
// nothing changes, or that all move by one offset, taken a vector at a time. Compiling
// takes microseconds; a compiled chain is used by any number of threads at once.
class FusedChain {
 public:
  explicit FusedChain(const ConversionChain& chain);
  ~FusedChain();
  FusedChain(const FusedChain&) = delete;
  FusedChain& operator=(const FusedChain&) = delete;

  // The room the pass needs for a text of `units`: two units for each (a voiced kana in
  // half width), and one more for the look-behind to write ahead of what it keeps.
  static constexpr std::size_t RoomFor(std::size_t units) { return 2 * units + 1; }

  // Converts `text` into `out`, which has RoomFor(text.size()) units; returns how many it
  // wrote.
  std::size_t Convert(std::u16string_view text, char16_t* out) const;
  std::u16string Convert(std::u16string_view text) const;

  // The same on valid UTF-8, into `out`, which has Utf8RoomFor(text.size()) bytes: three
  // for each (an ASCII character in full width), and a vector's more to write ahead.
  static constexpr std::size_t Utf8RoomFor(std::size_t bytes) { return 3 * bytes + 64; }
  std::size_t ConvertUtf8(std::string_view text, char* out) const;
  std::string ConvertUtf8(std::string_view text) const;

  // Whether ConvertUtf8 is quicker than decoding and encoding around Convert: where the
  // chain changes no ASCII character on its own (a pair of spaces aside) and moves no
  // stretch of more than a few characters by one offset (full-width ASCII to half width,
  // kana script), which Convert moves a vector at a time and ConvertUtf8 one by one.
  bool QuickerOnUtf8() const;

 private:
  std::unique_ptr<const FusedPlan> plan_;
};

}  // namespace quobrel::convert
