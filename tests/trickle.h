// A reader that gives a text a few bytes at a time, as a pipe may: pieces must come out the
// same however the reads fall.
#pragma once

#include <sys/types.h>

#include <algorithm>
#include <random>
#include <string_view>

#include "stream/piece_stream.h"

namespace quobrel {

// 1 to 23 bytes a read, as `seed` draws them.
inline ReadBytes Trickle(std::string_view input, unsigned seed) {
  return [input, random = std::mt19937(seed)](char* buffer, std::size_t size) mutable {
    const std::size_t count = std::min({size, input.size(), std::size_t{1} + random() % 23});
    input.copy(buffer, count);
    input.remove_prefix(count);
    return static_cast<ssize_t>(count);
  };
}

}  // namespace quobrel
