#include "batch/cp932_tables.h"

#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>

namespace quobrel::cp932 {
namespace {

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
  tables->code.fill(0);
  for (unsigned lead = 0; lead < 256; ++lead) {
    const char single = static_cast<char>(lead);
    tables->singleByte[lead] = IcuCharacter(converter.get(), &single, 1);
    tables->isLead[lead] = false;
    for (unsigned trail = 0; trail < 256; ++trail) {
      const char pair[] = {single, static_cast<char>(trail)};
      const char16_t c = IcuCharacter(converter.get(), pair, 2);
      // Two single-byte characters read as two: only a lead byte makes a pair.
      if (c == kNoCharacter) continue;
      tables->doubleByte[lead << 8 | trail] = c;
      tables->isLead[lead] = true;
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
  return tables;
}

}  // namespace

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

std::optional<std::size_t> DecodeInto(std::string_view bytes, char16_t* out, std::size_t capacity) {
  const Tables& tables = GetTables();
  std::size_t written = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    if (written == capacity) return at;
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
    if (c == kNoCharacter) return at;
    out[written++] = c;
    at += length;
  }
  if (written != capacity) return bytes.size();
  return std::nullopt;
}

std::optional<std::size_t> EncodeInto(std::u16string_view text, char* out, std::size_t capacity) {
  const Tables& tables = GetTables();
  std::size_t written = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    const std::uint16_t code = tables.code[c];
    if (code == 0 && c != 0) return at;
    const std::size_t length = code > 0xFF ? 2 : 1;
    if (written + length > capacity) return at;
    if (length == 2) out[written++] = static_cast<char>(code >> 8);
    out[written++] = static_cast<char>(code & 0xFF);
  }
  if (written != capacity) return text.size();
  return std::nullopt;
}

}  // namespace quobrel::cp932
