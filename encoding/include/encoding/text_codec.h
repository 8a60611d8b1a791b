// Exact conversion between bytes and UTF-16 text. Nothing is ever replaced: bytes that are
// not valid in the encoding, or text that the encoding cannot hold, are reported instead.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quobrel {

enum class TextEncoding {
  Utf8,
  Cp932,  // Shift_JIS as Windows extends it, the Japanese ANSI code page
  EucJp,
};

inline constexpr TextEncoding kAllEncodings[] = {TextEncoding::Utf8, TextEncoding::Cp932,
                                                 TextEncoding::EucJp};

// "UTF-8", "Shift_JIS", "EUC-JP": the names the user sees.
std::string_view EncodingName(TextEncoding encoding);

struct DecodedText {
  std::u16string text;
  std::optional<std::size_t> invalidByteAt;  // set when decoding failed
};

struct EncodedText {
  std::string bytes;
  std::optional<std::size_t> unencodableAt;  // code unit offset, set when encoding failed
};

DecodedText Decode(std::string_view bytes, TextEncoding encoding);
// In code page 932, notes in `otherCodesAt`, if given, where the bytes hold the code of a
// character that has other codes too.
EncodedText Encode(std::u16string_view text, TextEncoding encoding,
                   std::vector<std::size_t>* otherCodesAt = nullptr);

}  // namespace quobrel
