// Code page 932 by lookup. Tables filled once from ICU's converter hold every code's
// character and every character's code exactly as ICU reads and writes them; converting
// is then a lookup per character instead of a call into the converter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quobrel::cp932 {

inline constexpr char16_t kNoCharacter = 0xFFFF;  // not a character of code page 932

struct Tables {
  std::array<char16_t, 256> singleByte;    // kNoCharacter where the byte is none
  std::array<char16_t, 65536> doubleByte;  // by lead × 256 + trail; kNoCharacter: none
  std::array<std::uint16_t, 65536> code;   // by UTF-16 unit; 0 where there is none but
                                           // for U+0000 itself
  std::array<bool, 256> isLead;
};

const Tables& GetTables();

// Writes the text of the bytes into exactly `capacity` units at `out`; returns where the
// bytes are invalid (or where they would not fill `capacity` exactly).
std::optional<std::size_t> DecodeInto(std::string_view bytes, char16_t* out, std::size_t capacity);
// Writes the bytes of the text into exactly `capacity` bytes at `out`; returns where (in
// code units) the text has a character code page 932 cannot hold.
std::optional<std::size_t> EncodeInto(std::u16string_view text, char* out, std::size_t capacity);

}  // namespace quobrel::cp932
