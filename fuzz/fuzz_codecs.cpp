// The codecs against ICU's converters: the input's bytes decoded in each encoding, and the
// texts so found, and the input's bytes taken as UTF-16, encoded in each. They must accept
// and refuse what ICU does, give the same text or bytes, and find the same first fault;
// what decodes must encode back to its very bytes, the codes it used for characters that
// have several put back, but for a character EUC-JP reads and cannot write.
#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/alternate_codes.h"
#include "encoding/text_codec.h"
#include "fuzz/fuzz_check.h"

namespace quobrel {
namespace {

// What a reference made of a text or of bytes: all of it, or where it stopped at a fault.
template <class Out>
struct Converted {
  Out out;
  std::optional<std::size_t> faultAt;
};

// ICU's converter of an encoding, which stops at the first fault rather than substitute.
class Icu {
 public:
  explicit Icu(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open(name, &status));
    ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    Check(U_SUCCESS(status));
  }

  Converted<std::u16string> Decode(std::string_view bytes) const {
    ucnv_reset(converter_.get());
    // A byte gives at most a character, two units.
    std::u16string text(2 * bytes.size() + 2, u'\0');
    const char* source = bytes.data();
    UChar* target = reinterpret_cast<UChar*>(text.data());
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter_.get(), &target, target + text.size(), &source, source + bytes.size(),
                   nullptr, /*flush=*/true, &status);
    if (U_FAILURE(status)) {
      // It stops behind the bytes at fault.
      char fault[32];
      int8_t length = sizeof fault;
      UErrorCode ignored = U_ZERO_ERROR;
      ucnv_getInvalidChars(converter_.get(), fault, &length, &ignored);
      return {{}, static_cast<std::size_t>(source - bytes.data()) - length};
    }
    text.resize(static_cast<std::size_t>(target - reinterpret_cast<UChar*>(text.data())));
    return {std::move(text), std::nullopt};
  }

  Converted<std::string> Encode(std::u16string_view text) const {
    ucnv_reset(converter_.get());
    std::string bytes(4 * text.size() + 4, '\0');
    const UChar* const begin = reinterpret_cast<const UChar*>(text.data());
    const UChar* source = begin;
    char* target = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter_.get(), &target, target + bytes.size(), &source, begin + text.size(),
                     nullptr, /*flush=*/true, &status);
    if (U_FAILURE(status)) {
      UChar fault[32];
      int8_t length = sizeof fault / sizeof *fault;
      UErrorCode ignored = U_ZERO_ERROR;
      ucnv_getInvalidUChars(converter_.get(), fault, &length, &ignored);
      return {{}, static_cast<std::size_t>(source - begin) - length};
    }
    bytes.resize(static_cast<std::size_t>(target - bytes.data()));
    return {std::move(bytes), std::nullopt};
  }

 private:
  std::unique_ptr<UConverter, decltype(&ucnv_close)> converter_{nullptr, &ucnv_close};
};

const Icu& IcuOf(TextEncoding encoding) {
  static const Icu utf8("UTF-8"), cp932("windows-31j"), eucJp("EUC-JP");
  switch (encoding) {
    case TextEncoding::Utf8:
      return utf8;
    case TextEncoding::Cp932:
      return cp932;
    case TextEncoding::EucJp:
      break;
  }
  return eucJp;
}

// Code page 932 and EUC-JP as the program writes them: ICU's code for each character, but a
// character that ICU writes as nothing (a default-ignorable one it cannot map) or as the
// code of another (U+F86F as that of № in code page 932) is refused, as it would change.
// Where each character's code starts goes in `codeStarts`.
Converted<std::string> ByCharacter(std::u16string_view text, TextEncoding encoding,
                                   std::vector<std::size_t>& codeStarts) {
  const Icu& icu = IcuOf(encoding);
  std::string bytes;
  for (std::size_t at = 0; at < text.size();) {
    codeStarts.push_back(bytes.size());
    const std::size_t start = at;
    UChar32 c;
    U16_NEXT(text.data(), at, text.size(), c);
    const std::u16string_view character = text.substr(start, at - start);
    const Converted<std::string> code = icu.Encode(character);
    if (code.faultAt || code.out.empty() || icu.Decode(code.out).out != character)
      return {{}, start};
    bytes += code.out;
  }
  return {std::move(bytes), std::nullopt};
}

void CheckEncoding(std::u16string_view text, TextEncoding encoding) {
  std::vector<std::size_t> alternateCodesAt;
  const Result<std::string, Unencodable> ours = Encode(text, encoding, &alternateCodesAt);
  const std::optional<std::size_t> oursFaultAt =
      ours ? std::nullopt : std::optional(ours.error().unit);
  std::vector<std::size_t> codeStarts;
  const Converted<std::string> expected = encoding == TextEncoding::Utf8
                                              ? IcuOf(encoding).Encode(text)
                                              : ByCharacter(text, encoding, codeStarts);
  Check(oursFaultAt == expected.faultAt);
  if (!ours) return;
  Check(*ours == expected.out);
  // Each noted place holds a whole code of two or three bytes whose character has another.
  const AlternateCodes::CodeTable& standardCodes = AlternateCodes::StandardCodes(encoding);
  for (std::size_t i = 0; i < alternateCodesAt.size(); ++i) {
    const std::size_t at = alternateCodesAt[i];
    Check(HasAlternateCodes(encoding) && (i == 0 || alternateCodesAt[i - 1] < at));
    const auto start = std::lower_bound(codeStarts.begin(), codeStarts.end(), at);
    Check(start != codeStarts.end() && *start == at);
    const std::size_t end = start + 1 == codeStarts.end() ? ours->size() : start[1];
    Check(end - at == 2 || end - at == 3);
    AlternateCodes::Code code = 0;
    for (std::size_t j = at; j < end; ++j)
      code = code << 8 | static_cast<unsigned char>((*ours)[j]);
    Check(standardCodes[code] == code);
  }
}

// Where a fault lies in a text's lines, from the text before it: lines end at LF, CR LF or
// a lone CR (the faulty byte is no LF), and columns count characters.
TextPosition PlaceAfter(std::u16string_view before, std::size_t byte) {
  TextPosition place{byte, 1, 1};
  for (std::size_t i = 0; i < before.size(); ++i) {
    const char16_t c = before[i];
    if (c == u'\n' || (c == u'\r' && (i + 1 == before.size() || before[i + 1] != u'\n'))) {
      ++place.line;
      place.column = 1;
    } else if (!U16_IS_TRAIL(c) && c != u'\r') {
      ++place.column;
    }
  }
  return place;
}

void CheckDecoding(std::string_view bytes, TextEncoding encoding) {
  const Result<std::u16string, TextPosition> ours = Decode(bytes, encoding);
  const Converted<std::u16string> icu = IcuOf(encoding).Decode(bytes);
  Check(ours.ok() == !icu.faultAt);
  if (encoding == TextEncoding::Utf8) Check(IsValidUtf8(bytes) == ours.ok());
  if (!ours) {
    const std::size_t at = *icu.faultAt;
    Check(ours.error() == PlaceAfter(IcuOf(encoding).Decode(bytes.substr(0, at)).out, at));
    return;
  }
  Check(*ours == icu.out);
  for (TextEncoding to : kAllEncodings) CheckEncoding(*ours, to);
  std::vector<std::size_t> alternateCodesAt;
  Result<std::string, Unencodable> back = Encode(*ours, encoding, &alternateCodesAt);
  // ICU's EUC-JP reads 8F A2 C3 as ¦, which it cannot write: reading a text refuses that
  // (DecodePiece). CheckEncoding has held the refusal to ICU's.
  if (!back) {
    Check(encoding == TextEncoding::EucJp);
    return;
  }
  // The codes the bytes used where a character has several are written back.
  AlternateCodes::Restoration(AlternateCodes::Of(bytes, encoding)).Restore(*back, alternateCodesAt);
  Check(*back == bytes);
}

}  // namespace
}  // namespace quobrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quobrel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (TextEncoding encoding : kAllEncodings) CheckDecoding(bytes, encoding);
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
  for (TextEncoding encoding : kAllEncodings) CheckEncoding(units, encoding);
  return 0;
}
