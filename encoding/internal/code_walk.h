// The codes of multi-byte text, one by one, for the alternate codes: in code page 932 and
// in EUC-JP, read and written alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "encoding/alternate_codes.h"
#include "encoding/text_codec.h"
#include "internal/blockwise.h"

namespace quobrel {

// How many bytes the code that starts with `lead` takes, in valid text.
constexpr std::size_t CodeLength(unsigned char lead, TextEncoding encoding) {
  if (encoding == TextEncoding::EucJp) {
    if (lead == 0x8F) return 3;  // JIS X 0212
    return lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE) ? 2 : 1;
  }
  return (lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0 ? 2 : 1;
}

// The code of `length` bytes at `at`.
inline AlternateCodes::Code CodeAt(std::string_view bytes, std::size_t at, std::size_t length) {
  AlternateCodes::Code code = 0;
  for (std::size_t i = 0; i < length; ++i)
    code = code << 8 | static_cast<unsigned char>(bytes[at + i]);
  return code;
}

// Calls `visit(at, code)` for each code of more than one byte in valid text of a
// multi-byte encoding; a code cut short at the end is left out.
template <class Visit>
void ForEachMultiByteCode(std::string_view bytes, TextEncoding encoding, Visit visit) {
  // A block of ASCII from a code's start holds only codes of one byte.
  std::uint64_t halves[2];
  auto ascii = [&](std::size_t at) {
    std::memcpy(halves, bytes.data() + at, sizeof halves);
    return ((halves[0] | halves[1]) & 0x8080808080808080u) == 0;
  };
  auto one = [&](std::size_t& at) {
    const std::size_t length = CodeLength(static_cast<unsigned char>(bytes[at]), encoding);
    if (length > 1 && at + length <= bytes.size()) visit(at, CodeAt(bytes, at, length));
    at += length;
    return true;
  };
  Blockwise<sizeof halves>(bytes.size(), ascii, one);
}

}  // namespace quobrel
