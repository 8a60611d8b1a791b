#include "text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <stdexcept>

namespace quobrel {
namespace {

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

// A converter that stops at the first invalid or unmappable character instead of
// substituting one.
Converter OpenStrict(TextEncoding encoding) {
  const char* name = encoding == TextEncoding::Utf8 ? "UTF-8" : "windows-31j";
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &status), &ucnv_close);
  if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU has no converter for ") + name);
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
  return converter;
}

// Both encodings need at most this many bytes for one UTF-16 code unit.
std::size_t MaxBytesPerUnit(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? 3 : 2;
}

}  // namespace

DecodedText Decode(std::string_view bytes, TextEncoding encoding) {
  Converter converter = OpenStrict(encoding);
  std::u16string text(bytes.size(), u'\0');  // no byte yields more than one code unit
  const char* source = bytes.data();
  auto* const begin = reinterpret_cast<UChar*>(text.data());
  UChar* target = begin;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(converter.get(), &target, begin + text.size(), &source, source + bytes.size(),
                 nullptr, /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    // The converter stops behind the offending bytes.
    char invalid[32];
    int8_t invalidLength = sizeof invalid;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(converter.get(), invalid, &invalidLength, &ignored);
    return {{}, static_cast<std::size_t>(source - bytes.data()) - invalidLength};
  }
  text.resize(static_cast<std::size_t>(target - begin));
  return {std::move(text), std::nullopt};
}

EncodedText Encode(std::u16string_view text, TextEncoding encoding) {
  Converter converter = OpenStrict(encoding);
  std::string bytes(text.size() * MaxBytesPerUnit(encoding), '\0');
  const auto* const begin = reinterpret_cast<const UChar*>(text.data());
  const UChar* source = begin;
  char* target = bytes.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(converter.get(), &target, target + bytes.size(), &source, begin + text.size(),
                   nullptr, /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    UChar invalid[32];
    int8_t invalidLength = 32;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidUChars(converter.get(), invalid, &invalidLength, &ignored);
    return {{}, static_cast<std::size_t>(source - begin) - invalidLength};
  }
  bytes.resize(static_cast<std::size_t>(target - bytes.data()));
  return {std::move(bytes), std::nullopt};
}

}  // namespace quobrel
