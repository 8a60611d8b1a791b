// Scans that pass over plain stretches a block of units at a time and take the rest one
// character at a time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>

namespace quobrel {

// Goes through `size` units of input. Where `block(at)` takes the next `kBlock` units
// whole (and returns true), on from there; else character by character through
// `one(at)`, which moves `at` past the character or returns false at a fault, for at least
// a block's worth before a block is tried again. Returns where `one` found a fault.
template <std::size_t kBlock, class Block, class One>
std::optional<std::size_t> Blockwise(std::size_t size, Block block, One one) {
  for (std::size_t at = 0; at < size;) {
    if (at + kBlock <= size && block(at)) {
      at += kBlock;
      continue;
    }
    for (const std::size_t end = std::min(at + kBlock, size); at < end;) {
      if (!one(at)) return at;
    }
  }
  return std::nullopt;
}

}  // namespace quobrel
