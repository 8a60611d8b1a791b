// The codes of multi-byte text, one by one, for the alternate codes: in code page 932 and
// in EUC-JP, read and written alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
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

inline std::size_t LengthOf(AlternateCodes::Code code) {
  return code > 0xFFFF ? 3 : code > 0xFF ? 2 : 1;
}

inline void PutCode(char* at, AlternateCodes::Code code, std::size_t length) {
  for (std::size_t i = length; i-- > 0; code >>= 8) at[i] = static_cast<char>(code & 0xFF);
}

inline std::string BytesOf(AlternateCodes::Code code) {
  std::string bytes(LengthOf(code), '\0');
  PutCode(bytes.data(), code, bytes.size());
  return bytes;
}

// Calls `visit(code)` for every code of more than one byte that the encoding's lead bytes
// and trail bytes make: code page 932's trail bytes run from 40 to FC, EUC-JP's from A1 to
// FE.
template <class Visit>
void ForEachPossibleCode(TextEncoding encoding, Visit visit) {
  const bool eucJp = encoding == TextEncoding::EucJp;
  const unsigned firstTrail = eucJp ? 0xA1 : 0x40;
  const unsigned lastTrail = eucJp ? 0xFE : 0xFC;
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const std::size_t length = CodeLength(static_cast<unsigned char>(lead), encoding);
    for (unsigned second = firstTrail; length > 1 && second <= lastTrail; ++second) {
      if (length == 2) visit(AlternateCodes::Code{lead << 8 | second});
      for (unsigned third = firstTrail; length == 3 && third <= lastTrail; ++third)
        visit(AlternateCodes::Code{lead << 16 | second << 8 | third});
    }
  }
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
