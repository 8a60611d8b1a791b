#include "encoding/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "encoding/alternate_codes.h"
#include "encoding/text_lines.h"
#include "internal/code_walk.h"
#include "internal/cp932_tables.h"
#include "internal/utf8_transcoding.h"

namespace quobrel {
namespace {

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

// Code page 932 goes through tables of ICU's mappings (internal/cp932_tables); UTF-8
// through code of its own (internal/utf8_transcoding); EUC-JP, rarely used, through ICU's
// converter itself.
constexpr const char* kEucJpIcuName = "EUC-JP";

// A converter that stops at the first invalid or unmappable character instead of
// substituting one, reset for a new text. Opening one costs more than converting a small
// file: each thread keeps its own.
UConverter* EucJpConverter() {
  thread_local const Converter converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    Converter opened(ucnv_open(kEucJpIcuName, &status), &ucnv_close);
    if (U_FAILURE(status))
      throw std::runtime_error(std::string("ICU has no converter for ") + kEucJpIcuName);
    ucnv_setToUCallBack(opened.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(opened.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    return opened;
  }();
  ucnv_reset(converter.get());
  return converter.get();
}

// A character of code page 932 takes one byte exactly when it is ASCII or a half-width
// katakana, and decodes to one code unit.
constexpr bool IsCp932SingleByte(char16_t c) { return c < 0x80 || (c >= u'｡' && c <= u'ﾟ'); }

// Adds up, over a sequence of elements, how many lanes of each vector `weigh` marks;
// the lane counters are emptied into the total before they can overflow.
template <class Vector, class Unit, class Weigh, class WeighOne>
std::size_t SumLanes(std::basic_string_view<Unit> input, Weigh weigh, WeighOne weighOne) {
  constexpr std::size_t kLanes = sizeof(Vector) / sizeof(Unit);
  constexpr std::size_t kRounds = 100;  // each round adds at most 2 to a lane's counter
  std::size_t total = 0;
  std::size_t i = 0;
  while (i + kLanes <= input.size()) {
    Vector counters{};
    for (std::size_t round = 0; round < kRounds && i + kLanes <= input.size();
         ++round, i += kLanes) {
      Vector lanes;
      std::memcpy(&lanes, input.data() + i, sizeof lanes);
      counters += weigh(lanes);
    }
    for (std::size_t lane = 0; lane < kLanes; ++lane) total += counters[lane];
  }
  for (; i < input.size(); ++i) total += weighOne(input[i]);
  return total;
}

using Units = std::uint16_t __attribute__((vector_size(16)));

// A comparison gives all bits set where it holds: as a count, 1 there.
template <class Vector, class Mask>
Vector Ones(Mask mask) {
  return std::bit_cast<Vector>(mask) & 1;
}

// The size of the text the EUC-JP bytes hold, exact when they are valid. EUC-JP is rarely
// used: ICU measures it, at the cost of a second pass.
std::size_t EucJpDecodedLength(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_toUChars(EucJpConverter(), nullptr, 0, bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &status);
  // Invalid bytes: room enough (a unit per byte) for the conversion to find them again.
  if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR) return bytes.size();
  return static_cast<std::size_t>(length);
}

std::size_t EncodedLength(std::u16string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::EucJp) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(EucJpConverter(), nullptr, 0, reinterpret_cast<const UChar*>(text.data()),
                        static_cast<int32_t>(text.size()), &status);
    // A character it cannot hold: room enough (three bytes a unit) to find it again.
    if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR) return 3 * text.size();
    return static_cast<std::size_t>(length);
  }
  auto weigh = [](Units u) {
    constexpr auto kFirst = static_cast<std::uint16_t>(u'｡');
    constexpr auto kSpan = static_cast<std::uint16_t>(u'ﾟ' - u'｡');
    return Ones<Units>((u >= 0x80) & ((u - kFirst) > kSpan));
  };
  auto weighOne = [](char16_t c) { return std::size_t{!IsCp932SingleByte(c)}; };
  return text.size() + SumLanes<Units>(text, weigh, weighOne);
}

// The two directions of ICU's converters: the calls that differ, under one name each.
struct IcuDecoding {
  using In = char;
  using Out = UChar;
  static void Convert(UConverter* converter, Out** target, Out* limit, const In** source,
                      const In* end, UErrorCode* status) {
    ucnv_toUnicode(converter, target, limit, source, end, nullptr, /*flush=*/true, status);
  }
  // How many of the input units behind where the converter stopped are at fault.
  static std::size_t FaultLength(UConverter* converter) {
    char fault[32];
    int8_t length = sizeof fault;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(converter, fault, &length, &ignored);
    return static_cast<std::size_t>(length);
  }
};

struct IcuEncoding {
  using In = UChar;
  using Out = char;
  static void Convert(UConverter* converter, Out** target, Out* limit, const In** source,
                      const In* end, UErrorCode* status) {
    ucnv_fromUnicode(converter, target, limit, source, end, nullptr, /*flush=*/true, status);
  }
  static std::size_t FaultLength(UConverter* converter) {
    UChar fault[32];
    int8_t length = sizeof fault / sizeof *fault;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidUChars(converter, fault, &length, &ignored);
    return static_cast<std::size_t>(length);
  }
};

// ICU's converters take pointers and any length. Converts all of `input` into exactly
// `capacity` units at `out`, or returns where the input is at fault.
template <class Direction, class InUnit, class OutUnit>
std::optional<std::size_t> ConvertEucJpInto(std::basic_string_view<InUnit> input, OutUnit* out,
                                            std::size_t capacity) {
  using In = typename Direction::In;
  using Out = typename Direction::Out;
  UConverter* const converter = EucJpConverter();
  const auto* const begin = reinterpret_cast<const In*>(input.data());
  const In* source = begin;
  auto* target = reinterpret_cast<Out*>(out);
  UErrorCode status = U_ZERO_ERROR;
  Direction::Convert(converter, &target, target + capacity, &source, begin + input.size(), &status);
  if (U_SUCCESS(status) && target == reinterpret_cast<Out*>(out) + capacity) return std::nullopt;
  // The converter stops behind the offending units.
  return static_cast<std::size_t>(source - begin) - Direction::FaultLength(converter);
}

// Measures the result, then converts into a string of exactly that size; or reports where
// the input is at fault.
template <class Output, class Input, class Measure, class ConvertInto>
std::pair<Output, std::optional<std::size_t>> Convert(Input input, Measure measure,
                                                      ConvertInto convertInto) {
  Output output(measure(input), typename Output::value_type{});
  if (const auto errorAt = convertInto(input, output.data(), output.size()))
    return {Output(), errorAt};
  return {std::move(output), std::nullopt};
}

}  // namespace

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Cp932:
      return "Shift_JIS";
    case TextEncoding::EucJp:
      return "EUC-JP";
  }
  return {};
}

namespace {

std::optional<std::size_t> DecodeInto(std::string_view bytes, TextEncoding encoding,
                                      std::u16string& text) {
  if (encoding == TextEncoding::Cp932) {
    // At most a unit per byte: measuring first would cost as much as converting.
    text.assign(bytes.size(), u'\0');
    std::size_t written = 0;
    if (const auto invalidAt = cp932::DecodeInto(bytes, text.data(), written)) return invalidAt;
    text.resize(written);
    return std::nullopt;
  }
  if (encoding == TextEncoding::Utf8) {
    auto decoded = utf8::Decode(bytes);
    if (!decoded) {
      text.clear();
      return decoded.error();
    }
    text = std::move(*decoded);
    return std::nullopt;
  }
  auto [decoded, invalidAt] = Convert<std::u16string>(
      bytes, EucJpDecodedLength, ConvertEucJpInto<IcuDecoding, char, char16_t>);
  text = std::move(decoded);
  return invalidAt;
}

// Where the invalid byte at `at` lies in the bytes, which start a line.
TextPosition PlaceOf(std::string_view bytes, std::size_t at, TextEncoding encoding) {
  const std::string_view before = bytes.substr(0, at);
  // The byte at `at` is no LF, being invalid: a CR just before it ends a line.
  const std::size_t lineStart = EndOfLastLineBreak(before, true);
  // Its characters are its units but the second halves of pairs; what comes before the
  // first invalid byte decodes, but no fault is to be made worse by trusting that.
  std::u16string line;
  if (DecodeInto(before.substr(lineStart), encoding, line)) line.clear();
  const auto characters = static_cast<std::size_t>(
      std::count_if(line.begin(), line.end(), [](char16_t c) { return (c & 0xFC00) != 0xDC00; }));
  return {at, CountLineBreaks(before) + 1, characters + 1};
}

// ICU's EUC-JP writes nothing, and says nothing, for a default-ignorable character it
// cannot hold (a zero-width space, a soft hyphen) amid a text. Read back, the bytes must
// give the text again; where they do not, the first character missing is the one the
// encoding cannot hold.
std::optional<std::size_t> LostInEucJp(std::u16string_view text, std::string_view bytes) {
  std::u16string readBack;
  if (DecodeInto(bytes, TextEncoding::EucJp, readBack) || readBack != text) {
    return static_cast<std::size_t>(
        std::mismatch(text.begin(), text.end(), readBack.begin(), readBack.end()).first -
        text.begin());
  }
  return std::nullopt;
}

// Where the bytes hold the code Encode writes for a character that has others.
void NoteAlternateCodes(std::string_view bytes, TextEncoding encoding,
                        std::vector<std::size_t>& alternateCodesAt) {
  const AlternateCodes::CodeTable& standardCodes = AlternateCodes::StandardCodes(encoding);
  ForEachMultiByteCode(bytes, encoding, [&](std::size_t at, AlternateCodes::Code code) {
    if (standardCodes[code] == code) alternateCodesAt.push_back(at);
  });
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) { return utf8::IsValid(bytes); }

Result<std::u16string, TextPosition> Decode(std::string_view bytes, TextEncoding encoding) {
  std::u16string text;
  if (const std::optional<std::size_t> invalidAt = DecodeInto(bytes, encoding, text))
    return Failure(PlaceOf(bytes, *invalidAt, encoding));
  return text;
}

Result<std::string, Unencodable> Encode(std::u16string_view text, TextEncoding encoding,
                                        std::vector<std::size_t>* alternateCodesAt) {
  if (encoding == TextEncoding::Utf8) {
    auto bytes = utf8::Encode(text);
    if (!bytes) return Failure(Unencodable{bytes.error()});
    return std::move(*bytes);
  }
  auto [bytes, unencodableAt] = Convert<std::string>(
      text, [encoding](std::u16string_view in) { return EncodedLength(in, encoding); },
      [encoding, alternateCodesAt](std::u16string_view in, char* out, std::size_t capacity) {
        if (encoding == TextEncoding::Cp932)
          return cp932::EncodeInto(in, out, capacity, alternateCodesAt);
        return ConvertEucJpInto<IcuEncoding>(in, out, capacity);
      });
  if (encoding == TextEncoding::EucJp) {
    // Where ICU stops at a character it refuses, it may have dropped one before.
    if (unencodableAt && *unencodableAt > 0) {
      if (auto before = Encode(text.substr(0, *unencodableAt), encoding); !before)
        return Failure(before.error());
    }
    if (!unencodableAt) unencodableAt = LostInEucJp(text, bytes);
    // ICU writes the whole text at once: its codes are found in what it wrote.
    if (!unencodableAt && alternateCodesAt != nullptr)
      NoteAlternateCodes(bytes, encoding, *alternateCodesAt);
  }
  if (unencodableAt) return Failure(Unencodable{*unencodableAt});
  return std::move(bytes);
}

}  // namespace quobrel
