// Compiled once for each instruction set Highway targets; the best the machine has is picked
// when the program first transcodes.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "utf8_transcoding.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#ifndef QUOBREL_UTF8_TRANSCODING_ONCE
#define QUOBREL_UTF8_TRANSCODING_ONCE

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "internal/utf8_transcoding.h"
#include "support/huge_pages.h"

namespace quobrel::utf8 {

// How far a conversion got: `read` input units became `written` output units; when
// `invalid`, the input at `read` is what cannot be converted.
struct Progress {
  std::size_t read = 0;
  std::size_t written = 0;
  bool invalid = false;
};

// The conversions go a chunk at a time through a buffer of this size; a step of any
// instruction set fits in it.
constexpr std::size_t kChunkBytes = 8192;

// Squeezing out what a vector step does not need, 16 bytes at a time: for each choice of
// lanes to keep, the bytes to keep in order (0x80 makes a zero byte), and how many units of
// output they are.
template <std::size_t kChoices>
struct Squeezes {
  alignas(16) std::uint8_t bytes[kChoices][16];
  std::uint8_t size[kChoices];
};

// For 8 units, bit i set to keep unit i.
constexpr Squeezes<256> kKeepUnits = [] {
  Squeezes<256> table{};
  for (unsigned kept = 0; kept < 256; ++kept) {
    unsigned at = 0;
    for (unsigned unit = 0; unit < 8; ++unit) {
      if ((kept >> unit & 1) == 0) continue;
      table.bytes[kept][at++] = 2 * unit;
      table.bytes[kept][at++] = 2 * unit + 1;
    }
    table.size[kept] = at / 2;
    while (at < 16) table.bytes[kept][at++] = 0x80;
  }
  return table;
}();

// For 4 lanes of 32 bits that each hold a character's bytes, the first lowest, bit i set
// where the character in lane i is ASCII, its only byte.
constexpr Squeezes<16> kKeepSequences = [] {
  Squeezes<16> table{};
  constexpr bool kLittleEndian = std::endian::native == std::endian::little;
  for (unsigned ascii = 0; ascii < 16; ++ascii) {
    unsigned at = 0;
    for (unsigned lane = 0; lane < 4; ++lane) {
      for (unsigned byte = 0; byte < ((ascii >> lane & 1) != 0 ? 1 : 3); ++byte)
        table.bytes[ascii][at++] = 4 * lane + (kLittleEndian ? byte : 3 - byte);
    }
    table.size[ascii] = at;
    while (at < 16) table.bytes[ascii][at++] = 0x80;
  }
  return table;
}();

}  // namespace quobrel::utf8

#endif  // QUOBREL_UTF8_TRANSCODING_ONCE

HWY_BEFORE_NAMESPACE();
namespace quobrel::utf8::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// A step converts as much as a vector holds, whatever it holds, and the characters from its
// start that it converted rightly are what it read and wrote: the caller moves on by that
// much and writes over the rest. The caller makes sure that the vector's input and output lie
// within the buffers.
struct Step {
  std::size_t read = 0;
  std::size_t written = 0;
};

#if HWY_TARGET != HWY_SCALAR

using DBytes = hn::ScalableTag<std::uint8_t>;
using DUnits = hn::ScalableTag<std::uint16_t>;

// How many of the first lanes come before the first `bad` one.
template <class D, class M>
HWY_INLINE std::size_t LanesBefore(D d, M bad) {
  const intptr_t first = hn::FindFirstTrue(d, bad);
  return first < 0 ? hn::Lanes(d) : static_cast<std::size_t>(first);
}

// The lanes below `bound`, compared as signed bytes: ASCII above all others.
template <class D, class V>
HWY_INLINE auto SignedBelow(D d, V bytes, unsigned bound) {
  const hn::RebindToSigned<D> di;
  return hn::RebindMask(d, hn::Lt(hn::BitCast(di, bytes), hn::Set(di, static_cast<int8_t>(bound))));
}

template <class D, class V>
HWY_INLINE auto IsLeadOfThree(D d, V bytes) {
  return hn::Eq(hn::And(bytes, hn::Set(d, 0xF0)), hn::Set(d, 0xE0));
}

// Units of the `high` and `low` bytes.
template <class D, class V>
HWY_INLINE auto JoinBytes(D d, V high, V low) {
  return hn::Or(hn::ShiftLeft<8>(hn::PromoteTo(d, high)), hn::PromoteTo(d, low));
}

// Characters of one byte and of three in any mix: most of Japanese text as well as of
// English. Each lane is checked against the two bytes before it as ICU's U8_NEXT checks a
// sequence: a lead byte E0 to EF comes with two trail bytes 80 to BF, but for E0, whose first
// trail must be A0 or more (else a shorter sequence would do), and ED, whose first trail must
// be below A0 (else a surrogate). Anything else ends the step, to be read one character at a
// time. The caller makes sure that the two bytes before the vector lie within the input; they
// end characters already read, and so start none.
HWY_INLINE Step DecodeStep(const std::uint8_t* in, char16_t* out) {
  const DBytes d;
  const hn::Half<DBytes> dh;
  const hn::Repartition<std::uint16_t, DBytes> dw;
  auto* const units = reinterpret_cast<std::uint16_t*>(out);
  const auto bytes = hn::LoadU(d, in);
  const auto ascii = hn::Not(SignedBelow(d, bytes, 0));
  if (hn::AllTrue(d, ascii)) {
    hn::StoreU(hn::PromoteTo(dw, hn::LowerHalf(dh, bytes)), dw, units);
    hn::StoreU(hn::PromoteTo(dw, hn::UpperHalf(dh, bytes)), dw, units + hn::Lanes(dw));
    return {hn::Lanes(d), hn::Lanes(d)};
  }
  const auto before = hn::LoadU(d, in - 1);
  const auto twoBefore = hn::LoadU(d, in - 2);
  const auto third = IsLeadOfThree(d, twoBefore);
  const auto inSequence = hn::Or(IsLeadOfThree(d, before), third);
  const auto wellFormed = hn::Or(hn::AndNot(inSequence, hn::Or(ascii, IsLeadOfThree(d, bytes))),
                                 hn::And(inSequence, SignedBelow(d, bytes, 0xC0)));
  const auto belowA0 = SignedBelow(d, bytes, 0xA0);
  const auto outOfRange = hn::Or(hn::And(hn::Eq(before, hn::Set(d, 0xE0)), belowA0),
                                 hn::AndNot(belowA0, hn::Eq(before, hn::Set(d, 0xED))));
  const std::size_t valid = LanesBefore(d, hn::Or(hn::Not(wellFormed), outOfRange));
  // A character ends at each ASCII byte and third byte; the last one among the valid lanes
  // ends the step.
  std::uint8_t endBits[hn::MaxLanes(d) / 8];
  hn::StoreMaskBits(d, hn::And(hn::Or(ascii, third), hn::FirstN(d, valid)), endBits);
  std::uint64_t ends = 0;
  for (std::size_t i = 0; i < std::size(endBits); ++i) ends |= std::uint64_t{endBits[i]} << (8 * i);
  const std::size_t read = std::bit_width(ends);
  // Each end's unit: its low byte from the byte and the one before, its high byte from the
  // two before.
  const auto low = hn::IfThenElse(
      ascii, bytes, hn::Or(hn::ShiftLeft<6>(before), hn::And(bytes, hn::Set(d, 0x3F))));
  const auto high = hn::IfThenElseZero(
      hn::Not(ascii),
      hn::Or(hn::ShiftLeft<4>(twoBefore), hn::And(hn::ShiftRight<2>(before), hn::Set(d, 0x0F))));
  HWY_ALIGN std::uint16_t all[hn::MaxLanes(d)];
  hn::Store(JoinBytes(dw, hn::LowerHalf(dh, high), hn::LowerHalf(dh, low)), dw, all);
  hn::Store(JoinBytes(dw, hn::UpperHalf(dh, high), hn::UpperHalf(dh, low)), dw,
            all + hn::Lanes(dw));
  // The units of the ends, 8 lanes at a time.
  const hn::Full128<std::uint16_t> dBlock;
  const hn::Full128<std::uint8_t> dSqueeze;
  std::size_t written = 0;
  for (std::size_t block = 0; block < std::size(endBits); ++block) {
    const auto squeeze = hn::Load(dSqueeze, kKeepUnits.bytes[endBits[block]]);
    hn::StoreU(
        hn::TableLookupBytesOr0(hn::Load(dBlock, all + 8 * block), hn::BitCast(dBlock, squeeze)),
        dBlock, units + written);
    written += kKeepUnits.size[endBits[block]];
  }
  return {read, written};
}

// The most a step reads from where it starts, and writes.
constexpr std::size_t kDecodeStep = hn::MaxLanes(DBytes());

// Each unit's UTF-8 bytes in order in a lane of 32 bits, for units of one byte and of three.
template <class D, class V>
HWY_INLINE V Sequences(D d, V units) {
  const auto ascii = hn::Eq(hn::And(units, hn::Set(d, 0xFF80)), hn::Zero(d));
  const auto trail = hn::Set(d, 0x80);
  const auto low6 = hn::Set(d, 0x3F);
  const auto first =
      hn::IfThenElse(ascii, units, hn::Or(hn::ShiftRight<12>(units), hn::Set(d, 0xE0)));
  const auto second = hn::Or(hn::And(hn::ShiftRight<6>(units), low6), trail);
  const auto third = hn::Or(hn::And(units, low6), trail);
  return hn::Or(first, hn::Or(hn::ShiftLeft<8>(second), hn::ShiftLeft<16>(third)));
}

// Units of one byte and of three (U+0800 to U+FFFF but for the surrogates) in any mix.
HWY_INLINE Step EncodeStep(const char16_t* in, char* out) {
  const DUnits d;
  const hn::Half<DUnits> dh;
  const hn::Rebind<std::uint32_t, decltype(dh)> dw;
  const hn::Repartition<std::uint8_t, decltype(dw)> dwBytes;
  auto* const bytes = reinterpret_cast<std::uint8_t*>(out);
  const auto units = hn::LoadU(d, reinterpret_cast<const std::uint16_t*>(in));
  const auto ascii = hn::Eq(hn::And(units, hn::Set(d, 0xFF80)), hn::Zero(d));
  if (hn::AllTrue(d, ascii)) {
    const hn::Rebind<std::uint8_t, DUnits> dn;
    hn::StoreU(hn::DemoteTo(dn, hn::BitCast(hn::RebindToSigned<DUnits>(), units)), dn, bytes);
    return {hn::Lanes(d), hn::Lanes(d)};
  }
  const auto top = hn::And(units, hn::Set(d, 0xF800));
  const auto twoBytesOrSurrogate =
      hn::Or(hn::AndNot(ascii, hn::Eq(top, hn::Zero(d))), hn::Eq(top, hn::Set(d, 0xD800)));
  const std::size_t read = LanesBefore(d, twoBytesOrSurrogate);
  // Each unit's bytes in a lane of four; those an ASCII unit does not need are then squeezed
  // out, four lanes at a time.
  HWY_ALIGN std::uint8_t sequences[4 * hn::MaxLanes(d)];
  hn::Store(hn::BitCast(dwBytes, Sequences(dw, hn::PromoteTo(dw, hn::LowerHalf(dh, units)))),
            dwBytes, sequences);
  hn::Store(hn::BitCast(dwBytes, Sequences(dw, hn::PromoteTo(dw, hn::UpperHalf(dh, units)))),
            dwBytes, sequences + 2 * hn::Lanes(d));
  std::uint8_t asciiBits[hn::MaxLanes(d) / 8];
  hn::StoreMaskBits(d, ascii, asciiBits);
  const hn::Full128<std::uint8_t> dBlock;
  std::size_t at = 0;
  for (std::size_t block = 0; block < hn::Lanes(d) / 4; ++block) {
    const unsigned asciiLanes = asciiBits[block / 2] >> (4 * (block % 2)) & 0xF;
    const auto squeeze = hn::Load(dBlock, kKeepSequences.bytes[asciiLanes]);
    hn::StoreU(hn::TableLookupBytesOr0(hn::Load(dBlock, sequences + 16 * block), squeeze), dBlock,
               bytes + at);
    at += kKeepSequences.size[asciiLanes];
  }
  const std::size_t threeBytes = hn::CountTrue(d, hn::AndNot(ascii, hn::FirstN(d, read)));
  return {read, read + 2 * threeBytes};
}

constexpr std::size_t kEncodeStepIn = hn::MaxLanes(DUnits());
constexpr std::size_t kEncodeStepOut = 4 * hn::MaxLanes(DUnits());

#else  // HWY_TARGET == HWY_SCALAR

// Without vectors, ASCII a word at a time.
HWY_INLINE Step DecodeStep(const std::uint8_t* in, char16_t* out) {
  std::uint64_t bytes;
  std::memcpy(&bytes, in, sizeof bytes);
  if ((bytes & 0x8080808080808080u) != 0) return {};
  std::copy(in, in + sizeof bytes, out);
  return {sizeof bytes, sizeof bytes};
}

constexpr std::size_t kDecodeStep = 8;

HWY_INLINE Step EncodeStep(const char16_t* in, char* out) {
  std::uint64_t units;
  std::memcpy(&units, in, sizeof units);
  if ((units & 0xFF80FF80FF80FF80u) != 0) return {};
  std::transform(in, in + 4, out, [](char16_t c) { return static_cast<char>(c); });
  return {4, 4};
}

constexpr std::size_t kEncodeStepIn = 4;
constexpr std::size_t kEncodeStepOut = 4;

#endif  // HWY_TARGET != HWY_SCALAR

// The units the bytes decode to when valid: one for each byte that is no trail byte, and one
// more for each lead byte of four.
std::size_t DecodedUnits(const std::uint8_t* in, std::size_t size) {
  std::size_t units = 0;
  std::size_t at = 0;
#if HWY_TARGET != HWY_SCALAR
  const DBytes d;
  const hn::RebindToSigned<DBytes> di;
  const hn::Repartition<std::uint64_t, DBytes> d64;
  // As signed bytes, trail bytes are -128 to -65; with the top bit flipped, bytes keep their
  // order.
  const auto lastTrail = hn::Set(di, -65);
  const auto signBit = hn::Set(d, 0x80);
  const auto belowFour = hn::Set(di, 0xEF - 0x80);
  auto sums = hn::Zero(d64);
  while (at + hn::Lanes(d) <= size) {
    // Each lane counts up to 2 a vector, so 127 vectors at most before it is emptied.
    auto counts = hn::Zero(d);
    for (int vectors = 0; vectors < 127 && at + hn::Lanes(d) <= size; ++vectors) {
      const auto bytes = hn::LoadU(d, in + at);
      at += hn::Lanes(d);
      // A comparison that holds gives all ones, -1.
      counts = hn::Sub(
          counts, hn::BitCast(d, hn::VecFromMask(di, hn::Gt(hn::BitCast(di, bytes), lastTrail))));
      counts = hn::Sub(
          counts,
          hn::BitCast(
              d, hn::VecFromMask(di, hn::Gt(hn::BitCast(di, hn::Xor(bytes, signBit)), belowFour))));
    }
    sums = hn::Add(sums, hn::SumsOf8(counts));
  }
  units = hn::GetLane(hn::SumOfLanes(d64, sums));
#endif
  for (; at < size; ++at) units += std::size_t{(in[at] & 0xC0) != 0x80} + (in[at] >= 0xF0);
  return units;
}

// The bytes the units encode to when no surrogate is unpaired: one each, one more from
// U+0080, one more from U+0800 but for surrogates, whose pairs take four.
std::size_t EncodedBytes(const char16_t* in, std::size_t size) {
  std::size_t bytes = size;
  std::size_t at = 0;
#if HWY_TARGET != HWY_SCALAR
  const DUnits d;
  const hn::Half<DUnits> dh;
  const hn::Rebind<std::uint32_t, decltype(dh)> dw;
  while (at + hn::Lanes(d) <= size) {
    // Up to 2 a vector in each lane of 16 bits.
    auto counts = hn::Zero(d);
    for (int vectors = 0; vectors < 32767 && at + hn::Lanes(d) <= size; ++vectors) {
      const auto units = hn::LoadU(d, reinterpret_cast<const std::uint16_t*>(in + at));
      at += hn::Lanes(d);
      const auto top = hn::And(units, hn::Set(d, 0xF800));
      counts = hn::Sub(counts,
                       hn::VecFromMask(d, hn::Ne(hn::And(units, hn::Set(d, 0xFF80)), hn::Zero(d))));
      counts = hn::Sub(counts, hn::VecFromMask(d, hn::AndNot(hn::Eq(top, hn::Set(d, 0xD800)),
                                                             hn::Ne(top, hn::Zero(d)))));
    }
    bytes += hn::GetLane(hn::SumOfLanes(dw, hn::Add(hn::PromoteTo(dw, hn::LowerHalf(dh, counts)),
                                                    hn::PromoteTo(dw, hn::UpperHalf(dh, counts)))));
  }
#endif
  for (; at < size; ++at)
    bytes += std::size_t{in[at] >= 0x80} + (in[at] >= 0x800) - U16_IS_SURROGATE(in[at]);
  return bytes;
}

// Converts from the start of `in` into `out`, which has room for `room` units, until the
// input ends, the rest may not fit or the input is invalid: a vector at a time where `step`
// takes one, which reads up to `kStepIn` units with `kBefore` before them and writes up to
// `kStepOut`; whatever the steps leave (two bytes, four, the input's last vector, an invalid
// sequence) one character at a time by `one`, as ICU reads it, which returns false where it
// finds none.
template <std::size_t kBefore, std::size_t kStepIn, std::size_t kStepOut, class In, class Out,
          class VectorStep, class OneCharacter>
Progress ConvertSome(const In* in, std::size_t size, Out* out, std::size_t room, VectorStep step,
                     OneCharacter one) {
  // The room a step needs holds any one character too: four bytes, or two units.
  static_assert(kStepOut >= 4 && kStepOut * sizeof(Out) <= kChunkBytes);
  Progress progress;
  std::size_t& at = progress.read;
  std::size_t& written = progress.written;
  while (written + kStepOut <= room) {
    if (at >= kBefore && at + kStepIn <= size) {
      const Step taken = step(in + at, out + written);
      at += taken.read;
      written += taken.written;
      if (taken.read != 0) continue;
    }
    if (at == size) break;
    if (!one(at, written)) {
      progress.invalid = true;
      break;
    }
  }
  return progress;
}

// Whether the bytes are valid UTF-8, as ICU's U8_NEXT reads it, a vector at a time by Keiser
// and Lemire's three lookups: the high and low halves of each byte's predecessor and its own
// high half each name the faults they allow, and a fault all three allow is one. Which bytes
// must be the second or third trail of a sequence comes from the bytes two and three before.
bool IsValid(const std::uint8_t* in, std::size_t size) {
  std::size_t at = 0;
  UChar32 c;
  // From `from`, which starts a character, to the end, one character at a time.
  const auto oneByOne = [&](std::size_t from) {
    while (from < size) {
      U8_NEXT(in, from, size, c);
      if (c < 0) return false;
    }
    return true;
  };
#if HWY_TARGET != HWY_SCALAR
  // The first characters alone, so that the vectors have three bytes before them.
  while (at < 3 && at < size) {
    U8_NEXT(in, at, size, c);
    if (c < 0) return false;
  }
  // What each pair of bytes may be at fault of.
  constexpr std::uint8_t kTooShort = 1 << 0;                          // a lead, then no trail
  constexpr std::uint8_t kTooLong = 1 << 1;                           // ASCII, then a trail
  constexpr std::uint8_t kOverlong3 = 1 << 2;                         // E0 80 to E0 9F
  constexpr std::uint8_t kTooLarge = 1 << 3;                          // beyond U+10FFFF, from F4 90
  constexpr std::uint8_t kSurrogate = 1 << 4;                         // ED A0 to ED BF
  constexpr std::uint8_t kOverlong2 = 1 << 5;                         // C0 or C1, then a trail
  constexpr std::uint8_t kTooLarge1000 = 1 << 6;                      // F5 to FF, then 80 to 8F
  constexpr std::uint8_t kOverlong4 = 1 << 6;                         // F0 80 to F0 8F
  constexpr std::uint8_t kTwoTrails = 1 << 7;                         // a trail after a trail
  constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoTrails;  // whatever the low half
  constexpr std::uint8_t kAnyTrail = kTooLong | kOverlong2 | kTwoTrails;
  alignas(16) constexpr std::uint8_t kByHighHalfBefore[16] = {
      kTooLong,
      kTooLong,
      kTooLong,
      kTooLong,
      kTooLong,
      kTooLong,
      kTooLong,
      kTooLong,  // ASCII
      kTwoTrails,
      kTwoTrails,
      kTwoTrails,
      kTwoTrails,                                           // trails
      kTooShort | kOverlong2,                               // C_
      kTooShort,                                            // D_
      kTooShort | kOverlong3 | kSurrogate,                  // E_
      kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};  // F_
  alignas(16) constexpr std::uint8_t kByLowHalfBefore[16] = {
      kCarry | kOverlong3 | kOverlong2 | kOverlong4,  // _0
      kCarry | kOverlong2,                            // _1
      kCarry,
      kCarry,
      kCarry | kTooLarge,  // _4
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000 | kSurrogate,  // _D
      kCarry | kTooLarge | kTooLarge1000,
      kCarry | kTooLarge | kTooLarge1000};
  alignas(16) constexpr std::uint8_t kByHighHalf[16] = {
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort,
      kAnyTrail | kOverlong3 | kTooLarge1000 | kOverlong4,  // 8_
      kAnyTrail | kOverlong3 | kTooLarge,                   // 9_
      kAnyTrail | kSurrogate | kTooLarge,                   // A_
      kAnyTrail | kSurrogate | kTooLarge,                   // B_
      kTooShort,
      kTooShort,
      kTooShort,
      kTooShort};  // leads
  const DBytes d;
  const auto byHighHalfBefore = hn::LoadDup128(d, kByHighHalfBefore);
  const auto byLowHalfBefore = hn::LoadDup128(d, kByLowHalfBefore);
  const auto byHighHalf = hn::LoadDup128(d, kByHighHalf);
  const auto lowHalf = hn::Set(d, 0x0F);
  auto faults = hn::Zero(d);
  const std::size_t vectorsFrom = at;
  for (; at + hn::Lanes(d) <= size; at += hn::Lanes(d)) {
    const auto bytes = hn::LoadU(d, in + at);
    const auto before = hn::LoadU(d, in + at - 1);
    const auto allowed =
        hn::And(hn::And(hn::TableLookupBytes(byHighHalfBefore, hn::ShiftRight<4>(before)),
                        hn::TableLookupBytes(byLowHalfBefore, hn::And(before, lowHalf))),
                hn::TableLookupBytes(byHighHalf, hn::ShiftRight<4>(bytes)));
    // The top bit set where a lead of three or four bytes stands two or three before.
    const auto secondOrThirdTrail =
        hn::Or(hn::SaturatedSub(hn::LoadU(d, in + at - 2), hn::Set(d, 0xE0 - 0x80)),
               hn::SaturatedSub(hn::LoadU(d, in + at - 3), hn::Set(d, 0xF0 - 0x80)));
    // Such a byte must be a trail after a trail, and no other fault allowed.
    faults = hn::Or(faults, hn::Xor(hn::And(secondOrThirdTrail, hn::Set(d, 0x80)), allowed));
  }
  if (!hn::AllTrue(d, hn::Eq(faults, hn::Zero(d)))) return false;
  // The last character the vectors reached may go on beyond them, or be cut short.
  if (at > vectorsFrom) {
    do --at;
    while (at > vectorsFrom && U8_IS_TRAIL(in[at]));
  }
#endif
  return oneByOne(at);
}

Progress DecodeSome(const std::uint8_t* in, std::size_t size, char16_t* out, std::size_t room) {
  // A step looks at the two bytes before it, which end a character.
  return ConvertSome<2, kDecodeStep, kDecodeStep>(
      in, size, out, room,
      [](const std::uint8_t* from, char16_t* to) { return DecodeStep(from, to); },
      [&](std::size_t& at, std::size_t& written) {
        std::size_t next = at;
        UChar32 c;
        U8_NEXT(in, next, size, c);
        if (c < 0) return false;
        U16_APPEND_UNSAFE(out, written, c);
        at = next;
        return true;
      });
}

Progress EncodeSome(const char16_t* in, std::size_t size, char* out, std::size_t room) {
  return ConvertSome<0, kEncodeStepIn, kEncodeStepOut>(
      in, size, out, room, [](const char16_t* from, char* to) { return EncodeStep(from, to); },
      [&](std::size_t& at, std::size_t& written) {
        std::size_t next = at;
        UChar32 c;
        U16_NEXT(in, next, size, c);
        if (U_IS_SURROGATE(c)) return false;
        U8_APPEND_UNSAFE(out, written, c);
        at = next;
        return true;
      });
}

}  // namespace quobrel::utf8::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quobrel::utf8 {

HWY_EXPORT(IsValid);
HWY_EXPORT(DecodedUnits);
HWY_EXPORT(EncodedBytes);
HWY_EXPORT(DecodeSome);
HWY_EXPORT(EncodeSome);

namespace {

// Converts a chunk at a time through a buffer on the stack, appended to the result: the
// result is written once, where a string sized first would be filled with zeros before.
// Measuring the result first costs a read of the input but leaves no slack: a unit for each
// byte would be thrice too much for Japanese text, and shrinking would copy the whole. A
// large result asks for huge pages, its fresh memory costing more to fault in than to fill.
template <class Output, class In, class Measure, class ConvertSome>
Result<Output, std::size_t> Transcode(const In* in, std::size_t size, Measure measure,
                                      ConvertSome convertSome) {
  using Unit = typename Output::value_type;
  Output output;
  output.reserve(measure(in, size));
  PreferHugePages(output.data(), output.capacity() * sizeof(Unit));
  Unit chunk[kChunkBytes / sizeof(Unit)];
  for (std::size_t at = 0;;) {
    const Progress progress = convertSome(in + at, size - at, chunk, std::size(chunk));
    output.append(chunk, progress.written);
    at += progress.read;
    if (progress.invalid) return Failure(at);
    if (at == size) return output;
  }
}

}  // namespace

Result<std::u16string, std::size_t> Decode(std::string_view bytes) {
  return Transcode<std::u16string>(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
      [](const std::uint8_t* in, std::size_t size) {
        return HWY_DYNAMIC_DISPATCH(DecodedUnits)(in, size);
      },
      [](const std::uint8_t* in, std::size_t size, char16_t* out, std::size_t room) {
        return HWY_DYNAMIC_DISPATCH(DecodeSome)(in, size, out, room);
      });
}

bool IsValid(std::string_view bytes) {
  return HWY_DYNAMIC_DISPATCH(IsValid)(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       bytes.size());
}

Result<std::string, std::size_t> Encode(std::u16string_view text) {
  return Transcode<std::string>(
      text.data(), text.size(),
      [](const char16_t* in, std::size_t size) {
        return HWY_DYNAMIC_DISPATCH(EncodedBytes)(in, size);
      },
      [](const char16_t* in, std::size_t size, char* out, std::size_t room) {
        return HWY_DYNAMIC_DISPATCH(EncodeSome)(in, size, out, room);
      });
}

}  // namespace quobrel::utf8
#endif  // HWY_ONCE
