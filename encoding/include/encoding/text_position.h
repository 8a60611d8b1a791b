// Where in a text a fault lies, as its reader is told: the byte counted from 0 as a hex
// viewer shows it, the line and column from 1 as an editor does (lines end at LF, CR LF or
// a lone CR; columns count characters).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quobrel {

struct TextPosition {
  std::uint64_t byte = 0;
  std::size_t line = 1;
  std::size_t column = 1;
  bool operator==(const TextPosition&) const = default;
};

}  // namespace quobrel
