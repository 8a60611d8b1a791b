// The option buttons of the Convert command, one group per frame, and what each selects.
#pragma once

#include <array>
#include <cstddef>

#include "conversion/option_codes.h"

namespace quobrel {

enum class OptionButton {
  DigitsFull,
  DigitsHalf,
  DigitsNone,
  LettersFull,
  LettersHalf,
  LettersNone,
  KatakanaFull,
  KatakanaHalf,
  KatakanaNone,
  CaseAllUpper,
  CaseAllLower,
  CaseNone,
  CaseFullWidthUpper,
  CaseHalfWidthUpper,
  CaseFullWidthLower,
  CaseHalfWidthLower,
  SpacesPairsToFull,
  SpacesAllToFull,
  SpacesAllToHalf,
  SpacesNone,
};

// The groups, each a run of consecutive buttons of which exactly one is selected.
inline constexpr std::array<OptionButton, 5> kGroupFirstButtons{
    OptionButton::DigitsFull, OptionButton::LettersFull, OptionButton::KatakanaFull,
    OptionButton::CaseAllUpper, OptionButton::SpacesPairsToFull};
inline constexpr std::size_t kOptionButtonCount =
    static_cast<std::size_t>(OptionButton::SpacesNone) + 1;
static_assert(kOptionButtonCount == 20);

constexpr bool InSameGroup(OptionButton a, OptionButton b) {
  auto groupOf = [](OptionButton button) {
    std::size_t group = 0;
    while (group + 1 < kGroupFirstButtons.size() && kGroupFirstButtons[group + 1] <= button)
      ++group;
    return group;
  };
  return groupOf(a) == groupOf(b);
}

// Read at the moment a command needs a button: a selection changed while a long
// conversion yields takes effect in that same run.
class OptionPanel {
 public:
  virtual ~OptionPanel() = default;
  virtual bool IsSelected(OptionButton button) const = 0;
};

// The letter-case group in the order it is visited; the first selected button wins.
struct CaseButton {
  OptionButton button;
  convert::CaseChange change;
};
inline constexpr std::array<CaseButton, 7> kCaseButtons{{
    {OptionButton::CaseAllUpper, CaseCode("111")},
    {OptionButton::CaseAllLower, CaseCode("110")},
    {OptionButton::CaseNone, CaseCode("000")},
    {OptionButton::CaseFullWidthUpper, CaseCode("011")},
    {OptionButton::CaseHalfWidthUpper, CaseCode("101")},
    {OptionButton::CaseFullWidthLower, CaseCode("010")},
    {OptionButton::CaseHalfWidthLower, CaseCode("100")},
}};

// The space group in the order it is visited; a later selected button overrides.
struct SpaceButton {
  OptionButton button;
  convert::SpaceMode mode;
};
inline constexpr std::array<SpaceButton, 4> kSpaceButtons{{
    {OptionButton::SpacesPairsToFull, SpaceCode("101")},
    {OptionButton::SpacesAllToFull, SpaceCode("100")},
    {OptionButton::SpacesAllToHalf, SpaceCode("010")},
    {OptionButton::SpacesNone, SpaceCode("000")},
}};

// The buttons that select the classes of the full-width conversion, digits, letters,
// katakana; and of the half-width conversion likewise.
inline constexpr std::array<OptionButton, 3> kFullWidthButtons{
    OptionButton::DigitsFull, OptionButton::LettersFull, OptionButton::KatakanaFull};
inline constexpr std::array<OptionButton, 3> kHalfWidthButtons{
    OptionButton::DigitsHalf, OptionButton::LettersHalf, OptionButton::KatakanaHalf};

// The selection the panel starts with at every start: katakana to full-width and pairs of
// half-width spaces to full-width, nothing else.
inline constexpr std::array<OptionButton, 5> kStartUpSelection{
    OptionButton::DigitsNone, OptionButton::LettersNone, OptionButton::KatakanaFull,
    OptionButton::CaseNone, OptionButton::SpacesPairsToFull};

}  // namespace quobrel
