#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/conversions.h"

namespace quobrel::convert {

// Finds a search string in a text under a compare mode. Candidates are found eight code
// units at a time by their first and last code units (every unit that folds like them,
// when letter case is ignored) and then confirmed in full.
class SubstringFinder {
 public:
  SubstringFinder(std::u16string_view search, CompareMode mode);

  std::size_t length() const { return search_.size(); }

  // The first match that starts at or after `from` and before `limit`, or npos. A match
  // lies wholly inside `text`, so `limit` past text.size() - length() + 1 finds no more.
  std::size_t Find(std::u16string_view text, std::size_t from, std::size_t limit) const;

 private:
  // Up to four code units that a position's unit must equal to start a candidate.
  struct UnitSet {
    std::array<char16_t, 4> units{};  // unused places repeat the first unit
    std::size_t count = 0;            // 0: too large to test this way; every unit passes
    bool usable() const { return count != 0; }
  };
  struct FoldedPoint {
    char32_t folded;
    std::size_t length;  // in code units: a match is exactly as long as the search string
  };

  static UnitSet UnitsFoldingLike(char32_t codePoint);
  bool MatchesAt(std::u16string_view text, std::size_t at) const;
  // The vector part of Find, testing `kUnits` units for the first and the last unit.
  template <std::size_t kUnits>
  std::size_t FindInGroups(std::u16string_view text, std::size_t& at, std::size_t limit) const;

  std::u16string_view search_;
  CompareMode mode_;
  std::vector<FoldedPoint> folded_;  // the search string's code points, for IgnoreCase
  UnitSet first_;
  UnitSet last_;
};

}  // namespace quobrel::convert
