// Eight UTF-16 code units side by side. The compiler maps these operations onto the
// machine's vector instructions where it has them, so the scans can pass over stretches
// with nothing to convert eight characters at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "internal/character_classes.h"

namespace quobrel::convert {

using Lanes = std::uint16_t __attribute__((vector_size(16)));
inline constexpr std::size_t kLaneCount = sizeof(Lanes) / sizeof(std::uint16_t);
// What comparing lanes gives: all bits set in a lane where the comparison holds.
using LaneMask = std::int16_t __attribute__((vector_size(16)));

inline Lanes LoadLanes(const char16_t* at) {
  Lanes lanes;
  std::memcpy(&lanes, at, sizeof lanes);
  return lanes;
}

inline void StoreLanes(char16_t* at, Lanes lanes) { std::memcpy(at, &lanes, sizeof lanes); }

// All bits set in the lanes whose unit lies in the range, none elsewhere.
inline LaneMask LanesInRange(Lanes lanes, CharRange range) {
  // The units as plain numbers: vector arithmetic with char16_t trips some compilers.
  return (lanes - static_cast<std::uint16_t>(range.first)) <=
         static_cast<std::uint16_t>(range.last - range.first);
}

// All bits set in the lanes that hold `unit`.
inline LaneMask LanesEqual(Lanes lanes, char16_t unit) {
  return lanes == static_cast<std::uint16_t>(unit);
}

// One bit per set lane, at bit 8 × lane.
inline std::uint64_t LaneBits(LaneMask mask) {
  using Bytes = std::int8_t __attribute__((vector_size(8)));
  const Bytes bytes = __builtin_convertvector(mask, Bytes);
  std::uint64_t bits;
  std::memcpy(&bits, &bytes, sizeof bits);
  return bits & 0x0101010101010101u;
}

inline bool AnyLaneSet(LaneMask mask) { return LaneBits(mask) != 0; }

// Calls visit(lane) for each set lane, in order.
template <class Visit>
void ForEachSetLane(LaneMask mask, Visit visit) {
  for (std::uint64_t bits = LaneBits(mask); bits != 0; bits &= bits - 1) {
    visit(static_cast<std::size_t>(__builtin_ctzll(bits)) / 8);
  }
}

// `value` in the lanes that `mask` sets, 0 elsewhere.
inline Lanes Where(LaneMask mask, char16_t value) {
  return std::bit_cast<Lanes>(mask) & static_cast<std::uint16_t>(value);
}

}  // namespace quobrel::convert
