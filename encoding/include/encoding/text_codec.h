// Exact conversion between bytes and UTF-16 text. Nothing is ever replaced: bytes that are
// not valid in the encoding, or text that the encoding cannot hold, are reported instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/text_position.h"
#include "support/result.h"

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

// Where a text holds the first character an encoding cannot hold: the text has no bytes
// yet, so its place is a UTF-16 unit.
struct Unencodable {
  std::size_t unit = 0;
  bool operator==(const Unencodable&) const = default;
};

// The text the bytes hold; or where the first bytes the encoding does not read lie, their
// lines counted as a file's are (LF, CR LF or a lone CR).
[[nodiscard]] Result<std::u16string, TextPosition> Decode(std::string_view bytes,
                                                          TextEncoding encoding);
// Whether Decode reads the bytes as UTF-8 without a fault; quicker than decoding them.
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);

// The text's bytes. In code page 932 and EUC-JP, notes in `alternateCodesAt`, if given,
// where the bytes hold the code of a character that has other codes too.
[[nodiscard]] Result<std::string, Unencodable> Encode(
    std::u16string_view text, TextEncoding encoding,
    std::vector<std::size_t>* alternateCodesAt = nullptr);

}  // namespace quobrel
