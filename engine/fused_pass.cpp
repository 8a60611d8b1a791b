// The fused pass, compiled for each instruction set Highway targets; the one the machine
// has is chosen when the pass first runs.
#include <bit>
#include <cstdint>

#include "internal/fused_plan.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "fused_pass.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
// After foreach_target.h, which includes this file again for each target.
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace quobrel::convert::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

inline const std::uint16_t* Units(const char16_t* at) {
  return reinterpret_cast<const std::uint16_t*>(at);
}

// Unit by unit through the table, with the look-behind for marks and pairs of spaces.
template <bool kPairs, bool kComposes>
char16_t* OneByOne(const FusedPlan& plan, const char16_t* text, std::size_t from, std::size_t to,
                   char16_t* out, bool& held) {
  for (std::size_t i = from; i < to; ++i) {
    const char16_t c = text[i];
    if constexpr (kComposes) {
      if (IsVoicedMark(c) && i > 0) {
        const auto mark = static_cast<char16_t>(c - kVoicedMark);
        // The kana before the mark came out as one unit, the last written.
        const auto kana = static_cast<char16_t>(text[i - 1] - kHalfWidthKatakana.first);
        if (kana < kHalfWidthKanaCount && plan.composed[mark][kana] != 0) {
          out[-1] = plan.composed[mark][kana];
          continue;
        }
      }
    }
    const CharMap::Entry& entry = plan.units[c];
    const auto first = static_cast<char16_t>(c + entry.delta);
    const std::size_t count = 1 + (entry.second != 0);
    if constexpr (kPairs) {
      // A space waits for the next unit: with another, the two make a full-width space.
      // Without branches, as spaces come and go too unevenly to guess: held and a space, a
      // full-width space; held and another, U+0020 and that one; not held and a space,
      // nothing yet; not held and another, that one.
      const bool space = first == u' ';
      out[0] = !held ? first : space ? kFullWidthSpace : u' ';
      out[1] = held ? first : entry.second;
      out[2] = entry.second;
      out += space ? held : held + count;
      held = space && !held;
    } else {
      out[0] = first;
      out[1] = entry.second;
      out += count;
    }
  }
  return out;
}

template <class D, class V>
auto InStretch(D d, V units, UnitStretch stretch) {
  return hn::Eq(
      hn::SaturatedSub(hn::Sub(units, hn::Set(d, stretch.first)), hn::Set(d, stretch.span)),
      hn::Zero(d));
}

// U+0020 and U+00A0 differ only in the bit 0x80.
static_assert((u' ' | 0x80) == kCode160Space);
template <class D, class V>
auto HalfWidthSpaces(D d, V units) {
  return hn::Eq(hn::Or(units, hn::Set(d, 0x80)), hn::Set(d, kCode160Space));
}

// A group of units at a time: each unit moves by the offset of its shifted stretch, if any,
// up to the first that needs the table or the look-behind; from there, the run of such units
// goes one by one, and the next group starts after it.
template <bool kPairs, bool kComposes>
char16_t* Run(const FusedPlan& plan, const char16_t* text, std::size_t size, std::size_t from,
              std::size_t to, char16_t* out, bool& held) {
  const hn::ScalableTag<std::uint16_t> d;
  const std::size_t lanes = hn::Lanes(d);
  static_assert(MaxLanes(d) <= 64, "the lanes' bits fit in a word");
  std::size_t i = from;
  // With pairing, each group is looked at beside the unit after it, which must exist.
  while (i + lanes <= to && (!kPairs || i + lanes < size)) {
    if (kPairs && held) {
      // The next unit decides what the held space becomes.
      out = OneByOne<kPairs, kComposes>(plan, text, i, i + 1, out, held);
      ++i;
      continue;
    }
    const auto units = hn::LoadU(d, Units(text + i));
    auto oneByOne = hn::FirstN(d, 0);
    for (std::size_t s = 0; s < plan.oneByOneCount; ++s)
      oneByOne = hn::Or(oneByOne, InStretch(d, units, plan.oneByOne[s]));
    if constexpr (kPairs) {
      // Two half-width spaces side by side, also across the group's end. The steps make a
      // half-width space of a half-width space only, so the text's own units tell.
      oneByOne = hn::Or(oneByOne, hn::And(HalfWidthSpaces(d, units),
                                          HalfWidthSpaces(d, hn::LoadU(d, Units(text + i + 1)))));
    }
    auto result = units;
    for (std::size_t s = 0; s < plan.shiftedCount; ++s) {
      const ShiftedStretch& shift = plan.shifted[s];
      result = hn::Add(
          result, hn::IfThenElseZero(InStretch(d, units, shift.units), hn::Set(d, shift.delta)));
    }
    // Lanes from the first taken one by one on are written over.
    hn::StoreU(result, d, reinterpret_cast<std::uint16_t*>(out));
    std::uint64_t bits = 0;
    hn::StoreMaskBits(d, oneByOne, reinterpret_cast<std::uint8_t*>(&bits));
    if (bits == 0) {
      out += lanes;
      i += lanes;
      continue;
    }
    const auto whole = static_cast<std::size_t>(std::countr_zero(bits));
    const auto run = static_cast<std::size_t>(std::countr_one(bits >> whole));
    out += whole;
    i += whole;
    out = OneByOne<kPairs, kComposes>(plan, text, i, i + run, out, held);
    i += run;
  }
  return OneByOne<kPairs, kComposes>(plan, text, i, to, out, held);
}

char16_t* RunPlan(const FusedPlan& plan, const char16_t* text, std::size_t size, std::size_t from,
                  std::size_t to, char16_t* out, bool& held) {
  if (plan.pairsSpaces) {
    return plan.composes ? Run<true, true>(plan, text, size, from, to, out, held)
                         : Run<true, false>(plan, text, size, from, to, out, held);
  }
  return plan.composes ? Run<false, true>(plan, text, size, from, to, out, held)
                       : Run<false, false>(plan, text, size, from, to, out, held);
}

}  // namespace quobrel::convert::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quobrel::convert {

HWY_EXPORT(RunPlan);

char16_t* RunFusedPlan(const FusedPlan& plan, const char16_t* text, std::size_t size,
                       std::size_t from, std::size_t to, char16_t* out, bool& held) {
  return HWY_DYNAMIC_DISPATCH(RunPlan)(plan, text, size, from, to, out, held);
}

}  // namespace quobrel::convert
#endif
