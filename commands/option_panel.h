// The option buttons of the Convert command, one group per frame.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quobrel {

enum class OptionButton {
  // digits: full-width, half-width, none
  SO1,
  SO2,
  SO3,
  // Latin letters
  EO1,
  EO2,
  EO3,
  // katakana
  KO1,
  KO2,
  KO3,
  // letter case
  EOM1,
  EOM2,
  EOM3,
  EOM11,
  EOM12,
  EOM21,
  EOM22,
  // spaces
  SPO1,
  SPO2,
  SPO3,
  SPO4,
};

// The groups, each a run of consecutive buttons of which exactly one is selected.
inline constexpr std::array<OptionButton, 5> kGroupFirstButtons{
    OptionButton::SO1, OptionButton::EO1, OptionButton::KO1, OptionButton::EOM1,
    OptionButton::SPO1};
inline constexpr std::size_t kOptionButtonCount = static_cast<std::size_t>(OptionButton::SPO4) + 1;
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

// A button and the code it stands for.
struct CodedButton {
  OptionButton button;
  std::string_view code;
};

// The letter-case group in the order it is visited; the first selected button wins.
inline constexpr std::array<CodedButton, 7> kCaseButtons{{
    {OptionButton::EOM1, "111"},   // all letters to upper case
    {OptionButton::EOM2, "110"},   // all letters to lower case
    {OptionButton::EOM3, "000"},   // none
    {OptionButton::EOM11, "011"},  // full-width letters to upper case
    {OptionButton::EOM12, "101"},  // half-width letters to upper case
    {OptionButton::EOM21, "010"},  // full-width letters to lower case
    {OptionButton::EOM22, "100"},  // half-width letters to lower case
}};

// The space group in the order it is visited; a later selected button overrides.
inline constexpr std::array<CodedButton, 4> kSpaceButtons{{
    {OptionButton::SPO1, "101"},  // pairs of half-width spaces to full-width
    {OptionButton::SPO2, "100"},  // full-width
    {OptionButton::SPO3, "010"},  // half-width
    {OptionButton::SPO4, "000"},  // none
}};

// The buttons whose states spell the full-width code, digits, letters, katakana; and the
// half-width code likewise.
inline constexpr std::array<OptionButton, 3> kFullWidthButtons{OptionButton::SO1, OptionButton::EO1,
                                                               OptionButton::KO1};
inline constexpr std::array<OptionButton, 3> kHalfWidthButtons{OptionButton::SO2, OptionButton::EO2,
                                                               OptionButton::KO2};

}  // namespace quobrel

namespace quobrel {

// The selection the panel starts with at every start: katakana to full-width and pairs of
// half-width spaces to full-width, nothing else.
inline constexpr std::array<OptionButton, 5> kStartUpSelection{
    OptionButton::SO3, OptionButton::EO3, OptionButton::KO1, OptionButton::EOM3,
    OptionButton::SPO1};

}  // namespace quobrel
