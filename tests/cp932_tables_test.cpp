// Code page 932 by table against ICU's converter itself, over every one- and two-byte
// sequence and every character of the Basic Multilingual Plane.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>
#include <optional>
#include <string>

#include "encoding/text_codec.h"

namespace quobrel {
namespace {

class Icu932 {
 public:
  Icu932() {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open("windows-31j", &status));
    ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
  }
  std::optional<std::u16string> Decode(std::string_view bytes) const {
    UChar out[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter_.get(), out, 8, bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    return std::u16string(reinterpret_cast<char16_t*>(out), static_cast<std::size_t>(length));
  }
  std::optional<std::string> Encode(char16_t c) const {
    char out[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(converter_.get(), out, 8, reinterpret_cast<const UChar*>(&c), 1, &status);
    if (U_FAILURE(status)) return std::nullopt;
    return std::string(out, static_cast<std::size_t>(length));
  }

 private:
  std::unique_ptr<UConverter, decltype(&ucnv_close)> converter_{nullptr, &ucnv_close};
};

std::optional<std::u16string> Ours(std::string_view bytes) {
  auto decoded = Decode(bytes, TextEncoding::Cp932);
  if (!decoded) return std::nullopt;
  return *std::move(decoded);
}

TEST(Cp932Tables, ReadEveryOneAndTwoByteSequenceAsIcuDoes) {
  const Icu932 icu;
  for (int first = 0; first < 256; ++first) {
    const std::string one(1, static_cast<char>(first));
    ASSERT_EQ(Ours(one), icu.Decode(one)) << first;
    for (int second = 0; second < 256; ++second) {
      const std::string two{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(Ours(two), icu.Decode(two)) << first << " " << second;
    }
  }
}

TEST(Cp932Tables, WriteEveryCharacterAsIcuDoes) {
  const Icu932 icu;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const char16_t unit = static_cast<char16_t>(c);
    const auto ours = Encode(std::u16string_view(&unit, 1), TextEncoding::Cp932);
    std::optional<std::string> expected = icu.Encode(unit);
    // ICU writes nothing, without an error, for default-ignorable characters it cannot
    // map (a soft hyphen, a zero-width space), and some characters as codes that read
    // back as others (U+F86F as the code of №): those would change them, so they are
    // refused.
    if (expected && (expected->empty() || icu.Decode(*expected) != std::u16string(1, unit)))
      expected.reset();
    ASSERT_EQ(!ours.ok(), !expected.has_value()) << int(c);
    if (expected) {
      ASSERT_EQ(*ours, *expected) << int(c);
    }
  }
  // A surrogate, paired or not, is none of its characters.
  EXPECT_EQ(Encode(u"a\U0001F600", TextEncoding::Cp932).error().unit, 1u);
}

}  // namespace
}  // namespace quobrel
