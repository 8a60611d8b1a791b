// Compiling a chain into the fused pass's plan. The plan is tabulated from the steps
// themselves: each unit that any step can change, and each kana with each voiced mark, run
// through the chain on its own, so that the pass gives what the steps give by construction.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/conversion_chain.h"
#include "internal/fused_plan.h"
#include "internal/text_builder.h"
#include "internal/yield_meter.h"

namespace quobrel::convert {
namespace {

// The pages of 256 units that the steps change: ASCII with Latin-1 (digits, letters,
// symbols, the spaces), the kana, and the half- and full-width forms. Every unit of any
// other page goes through every step as it is.
constexpr std::array<char16_t, 3> kChangedPages{0x00, 0x30, 0xFF};

// Put between the inputs tabulated, so that none has a neighbour a step looks at.
constexpr char16_t kApart = u'一';
static_assert(std::find(kChangedPages.begin(), kChangedPages.end(), kApart >> 8) ==
              kChangedPages.end());

// What the chain makes of each input, each run through it on its own.
std::vector<std::u16string> EachOnItsOwn(const std::vector<std::u16string>& inputs,
                                         const ConversionChain& chain) {
  std::u16string text;
  for (const std::u16string& input : inputs) text.append(input) += kApart;
  // Compiling is no work on the user's text: it owes the window no yields.
  const ScopedYieldHook quiet({});
  const std::u16string converted = ConvertStepByStep(std::move(text), chain);
  std::vector<std::u16string> results;
  for (std::size_t start = 0; start < converted.size();) {
    const std::size_t end = converted.find(kApart, start);
    results.emplace_back(converted, start, end - start);
    start = end + 1;
  }
  return results;
}

// The stretches of consecutive units among `units`, which are in order.
std::vector<UnitStretch> StretchesOf(const std::vector<char16_t>& units) {
  std::vector<UnitStretch> stretches;
  for (char16_t c : units) {
    if (!stretches.empty() && stretches.back().first + stretches.back().span + 1 == c) {
      ++stretches.back().span;
    } else {
      stretches.push_back({c, 0});
    }
  }
  return stretches;
}

// The same stretches, the closest joined until at most `most` are left: what lies between
// them is then taken one by one too, which changes nothing but the speed.
std::vector<UnitStretch> JoinClosest(std::vector<UnitStretch> stretches, std::size_t most) {
  while (stretches.size() > most) {
    auto gap = [&](std::size_t i) {
      return stretches[i + 1].first - (stretches[i].first + stretches[i].span);
    };
    std::size_t closest = 0;
    for (std::size_t i = 1; i + 1 < stretches.size(); ++i) {
      if (gap(i) < gap(closest)) closest = i;
    }
    stretches[closest].span = static_cast<char16_t>(
        stretches[closest + 1].first + stretches[closest + 1].span - stretches[closest].first);
    stretches.erase(stretches.begin() + static_cast<std::ptrdiff_t>(closest) + 1);
  }
  return stretches;
}

void TabulateUnits(const ConversionChain& chain, FusedPlan& plan) {
  // Pairing is the pass's own; a lone half-width space of either kind comes out as U+0020.
  ConversionChain unpaired = chain;
  if (plan.pairsSpaces) unpaired.spaces = SpaceMode::Unchanged;
  std::vector<std::u16string> inputs;
  for (char16_t page : kChangedPages) {
    for (char16_t low = 0; low < 256; ++low)
      inputs.emplace_back(1, static_cast<char16_t>((page << 8) | low));
  }
  const std::vector<std::u16string> results = EachOnItsOwn(inputs, unpaired);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const char16_t c = inputs[i][0];
    const std::u16string& result = results[i];
    if (result.empty() || result.size() > 2)
      throw std::logic_error("FusedChain: a step made a unit into none or more than two");
    char16_t first = result[0];
    const char16_t second = result.size() == 2 ? result[1] : 0;
    if (plan.pairsSpaces && second == 0 && IsHalfWidthSpace(first)) first = u' ';
    if (first != c || second != 0) plan.units.Set(c, first, second);
  }
}

void TabulateCompositions(const ConversionChain& chain, FusedPlan& plan) {
  std::vector<std::u16string> inputs;
  for (char16_t kana = kHalfWidthKatakana.first; kana <= kHalfWidthKatakana.last; ++kana) {
    for (char16_t mark : {kVoicedMark, kSemiVoicedMark}) inputs.push_back({kana, mark});
  }
  const std::vector<std::u16string> results = EachOnItsOwn(inputs, chain);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (results[i].size() != 1) continue;
    plan.composes = true;
    plan.composed[inputs[i][1] - kVoicedMark][inputs[i][0] - kHalfWidthKatakana.first] =
        results[i][0];
  }
}

// A run of units that change, side by side, moves a vector whole when it falls into a few
// stretches of one offset each; one with more, as the half-width katakana, which widen each
// by an offset of its own, or with a unit that needs the look-behind or becomes two, goes
// one by one.
constexpr std::size_t kMostShiftsInARun = 4;

// Which stretches move whole by one offset, and which units go one by one.
void PlanVectors(FusedPlan& plan) {
  std::vector<ShiftedStretch> shifted;
  std::vector<char16_t> oneByOne;
  std::vector<ShiftedStretch> run;  // the run of changing units so far, by offset
  bool runOneByOne = false;
  auto endRun = [&] {
    if (runOneByOne || run.size() > kMostShiftsInARun) {
      for (const ShiftedStretch& shift : run) {
        for (int k = 0; k <= shift.units.span; ++k)
          oneByOne.push_back(static_cast<char16_t>(shift.units.first + k));
      }
    } else {
      shifted.insert(shifted.end(), run.begin(), run.end());
    }
    run.clear();
    runOneByOne = false;
  };
  for (char16_t page : kChangedPages) {
    for (char16_t low = 0; low < 256; ++low) {
      const auto c = static_cast<char16_t>((page << 8) | low);
      const CharMap::Entry& entry = plan.units[c];
      const bool alone = entry.second != 0 || (plan.composes && IsVoicedMark(c));
      if (!alone && entry.delta == 0) {
        endRun();
        continue;
      }
      runOneByOne = runOneByOne || alone;
      if (!run.empty() && run.back().delta == entry.delta) {
        ++run.back().units.span;
      } else {
        run.push_back({{c, 0}, entry.delta});
      }
    }
    endRun();
  }
  // The widest stretches shift; units of the rest go one by one.
  std::stable_sort(shifted.begin(), shifted.end(),
                   [](const auto& a, const auto& b) { return a.units.span > b.units.span; });
  for (std::size_t i = FusedPlan::kMaxShifted; i < shifted.size(); ++i) {
    for (int k = 0; k <= shifted[i].units.span; ++k)
      oneByOne.push_back(static_cast<char16_t>(shifted[i].units.first + k));
  }
  shifted.resize(std::min(shifted.size(), FusedPlan::kMaxShifted));

  std::sort(oneByOne.begin(), oneByOne.end());
  const std::vector<UnitStretch> stretches =
      JoinClosest(StretchesOf(oneByOne), FusedPlan::kMaxOneByOne);
  std::copy(stretches.begin(), stretches.end(), plan.oneByOne.begin());
  plan.oneByOneCount = stretches.size();
  // Joining may take in a shifted stretch, which then never moves a vector.
  std::erase_if(shifted, [&](const ShiftedStretch& shift) {
    return std::any_of(stretches.begin(), stretches.end(), [&](const UnitStretch& stretch) {
      return shift.units.first >= stretch.first &&
             shift.units.first + shift.units.span <= stretch.first + stretch.span;
    });
  });
  std::copy(shifted.begin(), shifted.end(), plan.shifted.begin());
  plan.shiftedCount = shifted.size();
}

// What the table makes of the character, in UTF-8.
Utf8Result MappedInUtf8(const CharMap& units, char16_t c) {
  const CharMap::Entry& entry = units[c];
  return entry.second != 0 ? InUtf8({units.First(c), entry.second}) : InUtf8({units.First(c)});
}

// Which characters the UTF-8 pass takes one by one, by their lead bytes: those the table
// changes, and with composing, the half-width kana, which look ahead for their marks; and
// what they become in UTF-8.
void PlanUtf8(FusedPlan& plan) {
  for (char16_t c = 0; c < 0x100; ++c) plan.latin1Utf8[c] = MappedInUtf8(plan.units, c);
  for (char16_t page : {char16_t{0x3000}, char16_t{0xFF00}}) {
    for (char16_t low = 0; low < 256; ++low) {
      const auto c = static_cast<char16_t>(page | low);
      plan.threeByteUtf8[ThreeByteIndex(c)] = MappedInUtf8(plan.units, c);
    }
  }
  for (std::size_t mark = 0; mark < 2; ++mark) {
    for (std::size_t kana = 0; kana < kHalfWidthKanaCount; ++kana) {
      if (const char16_t composed = plan.composed[mark][kana])
        plan.composedUtf8[mark][kana] = InUtf8({composed});
    }
  }
  plan.fullWidthSpaceUtf8 = InUtf8({kFullWidthSpace});

  const auto taken = [&](char16_t c) {
    const CharMap::Entry& entry = plan.units[c];
    return entry.delta != 0 || entry.second != 0 ||
           (plan.composes && c >= kHalfWidthKatakana.first && c <= kHalfWidthKatakana.last);
  };
  for (char16_t c = 0; c < 0x80; ++c) {
    if (taken(c)) plan.asciiTaken[c & 15] |= static_cast<std::uint8_t>(1 << (c >> 4));
  }
  for (char16_t c = 0x80; c < 0x100; ++c) plan.latin1Taken = plan.latin1Taken || taken(c);
  for (char16_t page : {char16_t{0x3000}, char16_t{0xFF00}}) {
    for (char16_t low = 0; low < 256; ++low) {
      const auto c = static_cast<char16_t>(page | low);
      if (taken(c)) plan.blocksTaken[InUtf8({c}).bytes[1] & 15] = 0xFF;
    }
  }
}

}  // namespace

FusedChain::FusedChain(const ConversionChain& chain) {
  auto plan = std::make_unique<FusedPlan>();
  plan->pairsSpaces = chain.spaces == SpaceMode::PairsToFullWidth;
  TabulateUnits(chain, *plan);
  TabulateCompositions(chain, *plan);
  PlanVectors(*plan);
  PlanUtf8(*plan);
  plan_ = std::move(plan);
}

FusedChain::~FusedChain() = default;

std::size_t FusedChain::Convert(std::u16string_view text, char16_t* out) const {
  const YieldMeter meter;
  bool held = false;
  char16_t* end = out;
  for (std::size_t from = 0; from < text.size(); from += kYieldBlock) {
    const std::size_t to = std::min(text.size(), from + kYieldBlock);
    end = RunFusedPlan(*plan_, text.data(), text.size(), from, to, end, held);
    meter.Report(to - from);
  }
  if (held) *end++ = u' ';
  return static_cast<std::size_t>(end - out);
}

std::size_t FusedChain::ConvertUtf8(std::string_view text, char* out) const {
  const YieldMeter meter;
  char* end = out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t from = at;
    end = RunFusedPlanUtf8(*plan_, text.data(), text.size(), at,
                           std::min(text.size(), from + kYieldBlock), end);
    meter.Report(at - from);
  }
  return static_cast<std::size_t>(end - out);
}

std::string FusedChain::ConvertUtf8(std::string_view text) const {
  const auto room = std::make_unique_for_overwrite<char[]>(Utf8RoomFor(text.size()));
  return std::string(room.get(), ConvertUtf8(text, room.get()));
}

bool FusedChain::QuickerOnUtf8() const {
  // Stretches of a few odd characters, which move by one offset as quickly one by one.
  constexpr std::size_t kFewCharacters = 8;
  const auto shifted = std::span(plan_->shifted).first(plan_->shiftedCount);
  return std::all_of(plan_->asciiTaken.begin(), plan_->asciiTaken.end(),
                     [](std::uint8_t taken) { return taken == 0; }) &&
         std::all_of(shifted.begin(), shifted.end(), [](const ShiftedStretch& shift) {
           return shift.units.span + std::size_t{1} < kFewCharacters;
         });
}

std::u16string FusedChain::Convert(std::u16string_view text) const {
  // Room for the most the text can grow, not filled beforehand.
  const auto room = std::make_unique_for_overwrite<char16_t[]>(RoomFor(text.size()));
  return std::u16string(room.get(), Convert(text, room.get()));
}

}  // namespace quobrel::convert
