#include "internal/substring_finder.h"

#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "internal/case_folding.h"
#include "internal/lanes.h"

namespace quobrel::convert {
namespace {

// Lanes that equal one of the first `kUnits` units.
template <std::size_t kUnits>
LaneMask LanesIn(Lanes lanes, const std::array<char16_t, 4>& units) {
  LaneMask in = LanesEqual(lanes, units[0]);
  for (std::size_t i = 1; i < kUnits; ++i) in |= LanesEqual(lanes, units[i]);
  return in;
}

bool UnitIn(char16_t unit, const std::array<char16_t, 4>& units) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

char32_t CodePointAt(std::u16string_view text, std::size_t at, std::size_t& length) {
  std::size_t next = at;
  char32_t c;
  U16_NEXT(text.data(), next, text.size(), c);
  length = next - at;
  return c;
}

}  // namespace

SubstringFinder::UnitSet SubstringFinder::UnitsFoldingLike(char32_t codePoint) {
  if (codePoint > 0xFFFF) return {};
  const char32_t folded = FoldCase(codePoint);
  std::unique_ptr<USet, decltype(&uset_close)> closure(uset_openEmpty(), &uset_close);
  uset_add(closure.get(), static_cast<UChar32>(codePoint));
  uset_closeOver(closure.get(), USET_CASE_INSENSITIVE);
  UnitSet set;
  std::size_t count = 0;
  const int32_t itemCount = uset_getItemCount(closure.get());
  for (int32_t item = 0; item < itemCount; ++item) {
    UErrorCode status = U_ZERO_ERROR;
    UChar32 start, end;
    // Strings of the closure ("ss" for "ß") have a length and are no single unit.
    if (uset_getItem(closure.get(), item, &start, &end, nullptr, 0, &status) != 0) continue;
    for (UChar32 c = start; c <= end && c <= 0xFFFF; ++c) {
      if (FoldCase(static_cast<char32_t>(c)) != folded) continue;
      if (count == set.units.size()) return {};
      set.units[count++] = static_cast<char16_t>(c);
    }
  }
  std::fill(set.units.begin() + count, set.units.end(), set.units[0]);
  set.count = count;
  return set;
}

SubstringFinder::SubstringFinder(std::u16string_view search, CompareMode mode)
    : search_(search), mode_(mode) {
  if (search.empty()) return;
  if (mode == CompareMode::Exact) {
    first_ = {{search.front(), search.front(), search.front(), search.front()}, 1};
    last_ = {{search.back(), search.back(), search.back(), search.back()}, 1};
    return;
  }
  for (std::size_t at = 0; at < search.size();) {
    std::size_t length;
    const char32_t c = CodePointAt(search, at, length);
    folded_.push_back({FoldCase(c), length});
    at += length;
  }
  std::size_t ignored;
  first_ = UnitsFoldingLike(CodePointAt(search, 0, ignored));
  // A lone unit at the end is tested on its own; the last code point of a pair is not.
  last_ = U16_IS_SURROGATE(search.back()) ? UnitSet{}
                                          : UnitsFoldingLike(static_cast<char32_t>(search.back()));
}

bool SubstringFinder::MatchesAt(std::u16string_view text, std::size_t at) const {
  if (mode_ == CompareMode::Exact) return text.substr(at, search_.size()) == search_;
  // Code points are read from the whole text: a pair there is one character even where
  // the search string ends in half of one.
  for (const FoldedPoint& point : folded_) {
    std::size_t length;
    const char32_t c = CodePointAt(text, at, length);
    if (length != point.length || FoldCase(c) != point.folded) return false;
    at += length;
  }
  return true;
}

template <std::size_t kUnits>
std::size_t SubstringFinder::FindInGroups(std::u16string_view text, std::size_t& at,
                                          std::size_t limit) const {
  const std::size_t length = search_.size();
  for (; at + kLaneCount <= limit; at += kLaneCount) {
    const LaneMask candidates =
        LanesIn<kUnits>(LoadLanes(text.data() + at), first_.units) &
        LanesIn<kUnits>(LoadLanes(text.data() + at + length - 1), last_.units);
    std::size_t match = std::u16string_view::npos;
    ForEachSetLane(candidates, [&](std::size_t lane) {
      if (match == std::u16string_view::npos && MatchesAt(text, at + lane)) match = at + lane;
    });
    if (match != std::u16string_view::npos) return match;
  }
  return std::u16string_view::npos;
}

std::size_t SubstringFinder::Find(std::u16string_view text, std::size_t from,
                                  std::size_t limit) const {
  const std::size_t length = search_.size();
  if (length == 0 || text.size() < length) return std::u16string_view::npos;
  limit = std::min(limit, text.size() - length + 1);
  std::size_t at = from;
  if (first_.usable() && last_.usable()) {
    const bool single = first_.count == 1 && last_.count == 1;
    const std::size_t match =
        single ? FindInGroups<1>(text, at, limit) : FindInGroups<4>(text, at, limit);
    if (match != std::u16string_view::npos) return match;
  }
  for (; at < limit; ++at) {
    const bool candidate = (!first_.usable() || UnitIn(text[at], first_.units)) &&
                           (!last_.usable() || UnitIn(text[at + length - 1], last_.units));
    if (candidate && MatchesAt(text, at)) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace quobrel::convert
