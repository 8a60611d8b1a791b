// Code page 932 by lookup. Tables filled once from ICU's converter hold every code's
// character and every character's code exactly as ICU reads and writes them; converting
// is then a lookup per character instead of a call into the converter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quobrel::cp932 {

inline constexpr char16_t kNoCharacter = 0xFFFF;  // not a character of code page 932

struct Tables {
  std::array<char16_t, 256> singleByte;    // kNoCharacter where the byte is none
  std::array<char16_t, 65536> doubleByte;  // by lead × 256 + trail; kNoCharacter: none
  std::array<std::uint16_t, 65536> code;   // by UTF-16 unit; 0 where there is none but
                                           // for U+0000 itself
  std::array<bool, 256> isLead;
  std::array<bool, 65536> hasAlternateCodes;  // by UTF-16 unit: more than one code reads as it
  // The printable ASCII characters, tab, LF and CR, and the half-width katakana, map to one
  // byte each by a fixed offset, as a run of them can be converted eight or sixteen at a
  // time; checked against the tables when they are filled.
  bool singleBytesAsExpected = false;
};

const Tables& GetTables();

// Writes the text of the bytes at `out`, which has room for one unit per byte, and counts
// the units in `written`; returns where the bytes are invalid.
[[nodiscard]] std::optional<std::size_t> DecodeInto(std::string_view bytes, char16_t* out,
                                                    std::size_t& written);
// Writes the bytes of the text into exactly `capacity` bytes at `out`; returns where (in
// code units) the text has a character code page 932 cannot hold. Notes in
// `alternateCodesAt`, if given, where it wrote the code of a character that has others.
[[nodiscard]] std::optional<std::size_t> EncodeInto(std::u16string_view text, char* out,
                                                    std::size_t capacity,
                                                    std::vector<std::size_t>* alternateCodesAt);

}  // namespace quobrel::cp932
