#include "internal/cp932_tables.h"

#include <unicode/ucnv.h>

#include <bit>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "internal/blockwise.h"

namespace quobrel::cp932 {
namespace {

// The single-byte characters that the vector paths convert: a byte of the kana's range is
// its character less this offset.
constexpr unsigned char kKanaFirst = 0xA1, kKanaLast = 0xDF;
constexpr char16_t kKanaOffset = u'｡' - kKanaFirst;
static_assert(kKanaOffset + kKanaLast == u'ﾟ');

constexpr bool IsPlainAscii(unsigned b) {
  return (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\n' || b == '\r';
}

using Bytes = std::uint8_t __attribute__((vector_size(16)));
using ByteMask = std::int8_t __attribute__((vector_size(16)));
using WideUnits = std::uint16_t __attribute__((vector_size(32)));
using Units = std::uint16_t __attribute__((vector_size(16)));
using UnitMask = std::int16_t __attribute__((vector_size(16)));
using NarrowBytes = std::uint8_t __attribute__((vector_size(8)));

template <class Mask>
bool AllLanes(Mask mask) {
  for (std::size_t i = 0; i < sizeof(Mask) / sizeof(mask[0]); ++i) {
    if (!mask[i]) return false;
  }
  return true;
}

// The lanes that hold plain ASCII: printable, tab, LF or CR. The constants take the lanes'
// own type, as some compilers' tools trip over mixed ones.
template <class Vector, class Lane = std::remove_cvref_t<decltype(Vector{}[0])>>
auto PlainAsciiLanes(Vector v) {
  return ((v >= Lane{0x20}) & (v < Lane{0x7F})) | (v == Lane{'\t'}) | (v == Lane{'\n'}) |
         (v == Lane{'\r'});
}

// Sixteen bytes of plain ASCII and half-width katakana, as their characters.
bool DecodeSixteen(const char* from, char16_t* to) {
  Bytes b;
  std::memcpy(&b, from, sizeof b);
  const ByteMask kana = (b >= std::uint8_t{kKanaFirst}) & (b <= std::uint8_t{kKanaLast});
  if (!AllLanes(PlainAsciiLanes(b) | kana)) return false;
  const WideUnits offsets =
      __builtin_convertvector(kana, WideUnits) & static_cast<std::uint16_t>(kKanaOffset);
  const WideUnits units = __builtin_convertvector(b, WideUnits) + offsets;
  std::memcpy(to, &units, sizeof units);
  return true;
}

// Eight such characters as their bytes.
bool EncodeEight(const char16_t* from, char* to) {
  Units u;
  std::memcpy(&u, from, sizeof u);
  const UnitMask kana = (u >= static_cast<std::uint16_t>(kKanaOffset + kKanaFirst)) &
                        (u <= static_cast<std::uint16_t>(kKanaOffset + kKanaLast));
  if (!AllLanes(PlainAsciiLanes(u) | kana)) return false;
  const Units offsets = std::bit_cast<Units>(kana) & static_cast<std::uint16_t>(kKanaOffset);
  const NarrowBytes bytes = __builtin_convertvector(u - offsets, NarrowBytes);
  std::memcpy(to, &bytes, sizeof bytes);
  return true;
}

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

// The character ICU reads from exactly these bytes, all of them, or none.
char16_t IcuCharacter(UConverter* converter, const char* bytes, std::size_t length) {
  UChar out[4];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t written =
      ucnv_toUChars(converter, out, 4, bytes, static_cast<int32_t>(length), &status);
  return U_SUCCESS(status) && written == 1 ? out[0] : kNoCharacter;
}

std::unique_ptr<Tables> BuildTables() {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-31j", &status), &ucnv_close);
  if (U_FAILURE(status)) throw std::runtime_error("ICU has no code page 932 converter");
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
  auto tables = std::make_unique<Tables>();
  tables->doubleByte.fill(kNoCharacter);
  tables->hasAlternateCodes.fill(false);
  std::array<bool, 65536> read{};
  tables->code.fill(0);
  for (unsigned lead = 0; lead < 256; ++lead) {
    const char single = static_cast<char>(lead);
    tables->singleByte[lead] = IcuCharacter(converter.get(), &single, 1);
    tables->isLead[lead] = false;
    // A byte that is a character alone starts no pair.
    if (tables->singleByte[lead] != kNoCharacter) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      const char pair[] = {single, static_cast<char>(trail)};
      const char16_t c = IcuCharacter(converter.get(), pair, 2);
      // Two single-byte characters read as two: only a lead byte makes a pair.
      if (c == kNoCharacter) continue;
      tables->doubleByte[lead << 8 | trail] = c;
      tables->isLead[lead] = true;
      tables->hasAlternateCodes[c] = std::exchange(read[c], true);
    }
  }
  for (unsigned c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const UChar unit = static_cast<UChar>(c);
    char out[4];
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter.get(), out, 4, &unit, 1, &status);
    if (U_FAILURE(status) || length < 1 || length > 2) continue;
    const auto code = length == 1
                          ? static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]))
                          : static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                       static_cast<unsigned char>(out[1]));
    // Only codes that read back as the same character: a one-way mapping (U+F86F to the
    // code of №) would write another character.
    const char16_t readBack = length == 1 ? tables->singleByte[code] : tables->doubleByte[code];
    if (readBack == c) tables->code[c] = code;
  }
  bool expected = true;
  for (unsigned b = 0; b < 256; ++b) {
    const bool kana = b >= kKanaFirst && b <= kKanaLast;
    if (!IsPlainAscii(b) && !kana) continue;
    const char16_t c = static_cast<char16_t>(kana ? b + kKanaOffset : b);
    expected = expected && !tables->isLead[b] && tables->singleByte[b] == c && tables->code[c] == b;
  }
  tables->singleBytesAsExpected = expected;
  return tables;
}

}  // namespace

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

std::optional<std::size_t> DecodeInto(std::string_view bytes, char16_t* out, std::size_t& written) {
  const Tables& tables = GetTables();
  written = 0;
  auto sixteen = [&](std::size_t at) {
    if (!tables.singleBytesAsExpected || !DecodeSixteen(bytes.data() + at, out + written))
      return false;
    written += sizeof(Bytes);
    return true;
  };
  auto one = [&](std::size_t& at) {
    // Even the bytes below 0x80 go through the table: ICU swaps some control codes.
    const auto lead = static_cast<unsigned char>(bytes[at]);
    char16_t c = tables.singleByte[lead];
    std::size_t length = 1;
    if (tables.isLead[lead]) {
      c = at + 1 < bytes.size()
              ? tables.doubleByte[lead << 8 | static_cast<unsigned char>(bytes[at + 1])]
              : kNoCharacter;
      length = 2;
    }
    if (c == kNoCharacter) return false;
    out[written++] = c;
    at += length;
    return true;
  };
  return Blockwise<sizeof(Bytes)>(bytes.size(), sixteen, one);
}

std::optional<std::size_t> EncodeInto(std::u16string_view text, char* out, std::size_t capacity,
                                      std::vector<std::size_t>* alternateCodesAt) {
  const Tables& tables = GetTables();
  constexpr std::size_t kEight = sizeof(Units) / sizeof(char16_t);
  std::size_t written = 0;
  auto eight = [&](std::size_t at) {
    if (!tables.singleBytesAsExpected || written + kEight > capacity ||
        !EncodeEight(text.data() + at, out + written)) {
      return false;
    }
    written += kEight;
    return true;
  };
  auto one = [&](std::size_t& at) {
    const char16_t c = text[at];
    const std::uint16_t code = tables.code[c];
    const std::size_t length = code > 0xFF ? 2 : 1;
    if ((code == 0 && c != 0) || written + length > capacity) return false;
    if (alternateCodesAt != nullptr && tables.hasAlternateCodes[c])
      alternateCodesAt->push_back(written);
    if (length == 2) out[written++] = static_cast<char>(code >> 8);
    out[written++] = static_cast<char>(code & 0xFF);
    ++at;
    return true;
  };
  if (const auto faultAt = Blockwise<kEight>(text.size(), eight, one)) return faultAt;
  if (written != capacity) return text.size();
  return std::nullopt;
}

}  // namespace quobrel::cp932
