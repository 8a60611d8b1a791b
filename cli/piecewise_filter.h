// Runs a text filter over long input in pieces on all cores. The input is cut only just
// after a line feed: no conversion looks across a line break, and a search string without
// a line feed cannot match across one, so the pieces' results joined are the result of
// the whole text.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/text_codec.h"

namespace quobrel::cli {

struct FilteredText {
  std::vector<std::string> pieces;           // the encoded result, in order
  std::optional<std::size_t> invalidByteAt;  // in the input
  std::optional<std::size_t> unencodableAt;  // in the result, in code units
};

using TextFilter = std::function<std::u16string(std::u16string)>;

// Decodes, filters and encodes `input`; in pieces only when `mayCut`.
FilteredText FilterInPieces(std::string_view input, TextEncoding encoding, bool mayCut,
                            const TextFilter& filter);

}  // namespace quobrel::cli
