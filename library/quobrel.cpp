// The library's calls over the program's own layers: the Convert command's fused chain and
// the engine's replacement, with the codec's strict UTF-8.
#include "quobrel/quobrel.h"

#include <unicode/utf16.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "conversion/convert_options.h"
#include "encoding/text_codec.h"
#include "engine/conversion_chain.h"
#include "engine/conversions.h"
#include "support/huge_pages.h"

namespace quobrel {

Error::Error(const std::string& what, std::size_t offset)
    : std::runtime_error(what), offset_(offset) {}

// Out of line, so that the class's type information lives in the library alone and a
// program catches what the library throws.
Error::~Error() = default;

namespace {

// `bytes`, which start at `offset` in `argument`, in UTF-16; or the Error that says where
// they are not valid UTF-8.
std::u16string FromUtf8(std::string_view bytes, const char* argument, std::size_t offset = 0) {
  Result<std::u16string, TextPosition> text = Decode(bytes, TextEncoding::Utf8);
  if (!text) {
    const std::size_t byte = offset + text.error().byte;
    throw Error(std::string(argument) + " is not valid UTF-8 at byte " + std::to_string(byte),
                byte);
  }
  return std::move(*text);
}

// Valid UTF-16 has no surrogate without its pair, and so never fails to encode.
std::string ToUtf8(std::u16string_view text) { return *Encode(text, TextEncoding::Utf8); }

// The first surrogate that is not half of a pair, if any.
std::optional<std::size_t> LoneSurrogateAt(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!U16_IS_SURROGATE(text[i])) continue;
    if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
      ++i;
      continue;
    }
    return i;
  }
  return std::nullopt;
}

// A long text is converted in pieces cut just after line breaks, which no conversion looks
// across: each piece stays in the cache through every pass, and its buffers, below the
// allocator's threshold for mapping memory afresh (128 KB), are used again for the next
// piece; only the result is large.
constexpr std::size_t kPieceSize = std::size_t{1} << 15;

// Where the piece that starts at `start` ends: after the last line break within
// kPieceSize, or else the first one beyond, or at the text's end. CR and LF are never
// part of another character, in UTF-8 or UTF-16.
template <class Char>
std::size_t PieceEnd(std::basic_string_view<Char> text, std::size_t start) {
  if (text.size() - start <= kPieceSize) return text.size();
  constexpr Char kBreaks[] = {Char{'\r'}, Char{'\n'}};
  const std::basic_string_view<Char> breaks(kBreaks, std::size(kBreaks));
  std::size_t cut = text.find_last_of(breaks, start + kPieceSize - 1);
  if (cut == text.npos || cut < start) cut = text.find_first_of(breaks, start + kPieceSize);
  return cut == text.npos ? text.size() : cut + 1;
}

// The pieces of `text` converted by `convert` and joined.
template <class Char, class ConvertPiece>
std::basic_string<Char> ConvertInPieces(std::basic_string_view<Char> text,
                                        const ConvertPiece& convert) {
  std::basic_string<Char> result;
  result.reserve(text.size());
  std::size_t advised = 0;  // the capacity whose memory was advised
  for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
    if (result.capacity() != advised) {
      advised = result.capacity();
      PreferHugePages(result.data(), advised * sizeof(Char));
    }
    end = PieceEnd(text, start);
    result += convert(text.substr(start, end - start), start);
  }
  return result;
}

// Room for a piece's result, kept from one piece to the next.
class PieceRoom {
 public:
  char16_t* For(std::size_t units) {
    const std::size_t needed = convert::FusedChain::RoomFor(units);
    if (needed > size_) {
      buffer_ = std::make_unique_for_overwrite<char16_t[]>(needed);
      size_ = needed;
    }
    return buffer_.get();
  }

 private:
  std::unique_ptr<char16_t[]> buffer_;
  std::size_t size_ = 0;
};

void RequireValid(std::u16string_view text, const char* argument) {
  if (const std::optional<std::size_t> unit = LoneSurrogateAt(text)) {
    throw Error(std::string(argument) + " holds a lone surrogate at unit " + std::to_string(*unit),
                *unit);
  }
}

convert::Replaced ReplaceValid(std::u16string_view text, std::u16string_view search,
                               std::u16string_view replacement, bool matchCase,
                               std::size_t* count) {
  if (search.empty()) throw Error("the search text is empty", 0);
  convert::Replaced replaced = convert::ReplaceAll(
      text, search, replacement,
      matchCase ? convert::CompareMode::Exact : convert::CompareMode::IgnoreCase);
  if (count != nullptr) *count = replaced.count;
  return replaced;
}

}  // namespace

std::u16string Convert(std::u16string_view text, const Options& options) {
  RequireValid(text, "the text");
  const convert::FusedChain chain(ChainOf(options));
  PieceRoom room;
  return ConvertInPieces(text, [&](std::u16string_view piece, std::size_t) {
    char16_t* const out = room.For(piece.size());
    return std::u16string_view(out, chain.Convert(piece, out));
  });
}

std::string Convert(std::string_view utf8, const Options& options) {
  const convert::FusedChain chain(ChainOf(options));
  // Valid pieces as they are where that is quicker; any other decoded, which places a fault.
  const bool asItIs = chain.QuickerOnUtf8();
  PieceRoom room;
  return ConvertInPieces(utf8, [&](std::string_view piece, std::size_t offset) {
    if (asItIs && IsValidUtf8(piece)) return chain.ConvertUtf8(piece);
    const std::u16string text = FromUtf8(piece, "the text", offset);
    char16_t* const out = room.For(text.size());
    return ToUtf8(std::u16string_view(out, chain.Convert(text, out)));
  });
}

std::u16string Replace(std::u16string_view text, std::u16string_view search,
                       std::u16string_view replacement, bool matchCase, std::size_t* count) {
  RequireValid(text, "the text");
  RequireValid(search, "the search text");
  RequireValid(replacement, "the replacement");
  return ReplaceValid(text, search, replacement, matchCase, count).text;
}

std::string Replace(std::string_view utf8, std::string_view search, std::string_view replacement,
                    bool matchCase, std::size_t* count) {
  const std::u16string text = FromUtf8(utf8, "the text");
  return ToUtf8(ReplaceValid(text, FromUtf8(search, "the search text"),
                             FromUtf8(replacement, "the replacement"), matchCase, count)
                    .text);
}

}  // namespace quobrel
