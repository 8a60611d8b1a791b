#include "engine/conversions.h"
#include "internal/character_classes.h"
#include "internal/text_builder.h"

namespace quobrel::convert {
namespace {

// U+0020 and U+00A0 differ only in the bit 0x80.
static_assert((u' ' | 0x80) == kCode160Space);
LaneMask HalfWidthSpaceLanes(Lanes lanes) { return LanesEqual(lanes | 0x80, kCode160Space); }

// The groups of eight in which pairing changes anything: where two half-width spaces meet
// (also across the end of the group) or where the code-160 character stands, which comes
// out as U+0020 even alone. A lone U+0020 stays as it is.
LaneMask PairingLanes(std::u16string_view text, std::size_t i) {
  const Lanes lanes = LoadLanes(text.data() + i);
  const LaneMask spaces = HalfWidthSpaceLanes(lanes);
  const LaneMask spacesAfter = i + kLaneCount < text.size()
                                   ? HalfWidthSpaceLanes(LoadLanes(text.data() + i + 1))
                                   : ~LaneMask{};
  return (spaces & spacesAfter) | LanesEqual(lanes, kCode160Space);
}

// How many pairs the runs of half-width spaces hold: each becomes one full-width space.
// The count follows the same held-space state as the conversion, without branches.
std::size_t CountSpacePairs(std::u16string_view text) {
  std::size_t pairs = 0;
  bool held = false;
  auto step = [&](char16_t c) {
    const bool space = IsHalfWidthSpace(c);
    pairs += space && held;
    held = space && !held;
  };
  std::size_t i = 0;
  for (; i + kLaneCount <= text.size(); i += kLaneCount) {
    if (!held && !AnyLaneSet(PairingLanes(text, i))) continue;  // no pair starts here
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) step(text[i + lane]);
  }
  for (; i < text.size(); ++i) step(text[i]);
  return pairs;
}

// Two adjacent half-width spaces become one full-width space; a half-width space left
// over (alone, or the odd one of a run) comes out as U+0020.
std::u16string PairSpaces(std::u16string_view text) {
  bool held = false;
  // While a space is held every group is looked at: the next character decides.
  auto oneByOne = [&](std::size_t i) { return held ? ~LaneMask{} : PairingLanes(text, i); };
  auto convertOne = [&](std::size_t i, TextWriter& out) {
    const char16_t c = text[i];
    const bool space = IsHalfWidthSpace(c);
    // held, space: a full-width space; held, other: U+0020 and the character;
    // not held, space: nothing yet; not held, other: the character.
    const char16_t first = !held ? c : space ? kFullWidthSpace : u' ';
    out.PutFirst(first, c, space ? held : 1 + held);
    held = space && !held;
  };
  return ProduceText(text, text.size() - CountSpacePairs(text),
                     [&](TextWriter& out, std::size_t from, std::size_t to) {
                       ConvertBlock(text, from, to, out, oneByOne, kUnchangedLanes, convertOne);
                       if (to == text.size() && held) out.Put(u' ');
                     });
}

// Every space of one kind becomes `into`.
template <class SpaceLanes, class IsSpace>
std::u16string MapSpaces(std::u16string_view text, SpaceLanes spaceLanes, IsSpace isSpace,
                         char16_t into) {
  auto convertLanes = [&](Lanes lanes, TextWriter& out) {
    const LaneMask spaces = spaceLanes(lanes);
    out.Put((lanes & ~std::bit_cast<Lanes>(spaces)) | Where(spaces, into));
  };
  auto oneByOne = [](std::size_t) { return LaneMask{}; };
  auto convertOne = [&](std::size_t i, TextWriter& out) {
    out.Put(isSpace(text[i]) ? into : text[i]);
  };
  return ProduceText(text, text.size(), [&](TextWriter& out, std::size_t from, std::size_t to) {
    ConvertBlock(text, from, to, out, oneByOne, convertLanes, convertOne);
  });
}

}  // namespace

std::u16string ConvertSpaces(std::u16string_view text, SpaceMode mode) {
  switch (mode) {
    case SpaceMode::PairsToFullWidth:
      return PairSpaces(text);
    case SpaceMode::AllToFullWidth:
      return MapSpaces(
          text, [](Lanes lanes) { return HalfWidthSpaceLanes(lanes); },
          [](char16_t c) { return IsHalfWidthSpace(c); }, kFullWidthSpace);
    case SpaceMode::AllToHalfWidth:
      return MapSpaces(
          text, [](Lanes lanes) { return LanesEqual(lanes, kFullWidthSpace); },
          [](char16_t c) { return c == kFullWidthSpace; }, u' ');
    case SpaceMode::Unchanged:
      break;
  }
  return std::u16string(text);
}

}  // namespace quobrel::convert
