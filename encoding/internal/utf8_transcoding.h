// UTF-8 to and from UTF-16 a vector at a time where the text allows, with the instruction
// set the machine has: most text, Japanese or not, is runs of ASCII and of characters of
// three bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/result.h"

namespace quobrel::utf8 {

// The text the bytes hold; or, where they are invalid, the offset of the first byte of the
// first sequence that ICU's U8_NEXT does not read as a character.
[[nodiscard]] Result<std::u16string, std::size_t> Decode(std::string_view bytes);

// Whether the bytes decode without a fault; quicker than decoding.
[[nodiscard]] bool IsValid(std::string_view bytes);

// The text's bytes; or the index of its first unpaired surrogate, which UTF-8 cannot hold.
[[nodiscard]] Result<std::string, std::size_t> Encode(std::u16string_view text);

}  // namespace quobrel::utf8
