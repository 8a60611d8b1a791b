#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoding/alternate_codes.h"
#include "encoding/text_codec.h"

namespace quobrel {
namespace {

// Long enough that every text goes through the vector paths as well as the tails.
std::u16string Repeated(std::u16string_view piece, std::size_t times) {
  std::u16string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(TextCodec, RoundTripsEveryEncoding) {
  const std::u16string japanese = Repeated(u"ｶﾞｯｺｳ、学校。ABC 123\r\n　ガ", 40);
  for (TextEncoding encoding : kAllEncodings) {
    const auto encoded = Encode(japanese, encoding);
    ASSERT_TRUE(encoded.ok());
    const auto decoded = Decode(*encoded, encoding);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(*decoded, japanese);
  }
  const std::u16string supplementary = Repeated(u"x\U0001F600é\u0800\u07FF", 30);
  const auto utf8 = Encode(supplementary, TextEncoding::Utf8);
  ASSERT_TRUE(utf8.ok());
  EXPECT_EQ(*Decode(*utf8, TextEncoding::Utf8), supplementary);
}

TEST(TextCodec, AlternateCodesAreWrittenBackAsTheBytesHadThem) {
  struct Case {
    TextEncoding encoding;
    std::string first, second;  // two pieces of a text
  };
  const Case cases[] = {
      // ≒ as 87 90 (NEC's row 13) and as 81 E0, which ICU writes.
      {TextEncoding::Cp932, "\x82\xA0\x87\x90\x81\xE0\n", "\x87\x90\x82\xA2\n"},
      // ～ as 8F A2 B7 (JIS X 0212), a byte longer than A1 C1, which ICU writes, and as
      // A1 C1; ≒ as AD F0 and A2 E2.
      {TextEncoding::EucJp, "\xA4\xA2\x8F\xA2\xB7\xA1\xC1\xAD\xF0\n",
       "\x8F\xA2\xB7\xA2\xE2\xA4\xA4\x8F\xA2\xB7\n"},
  };
  for (const Case& c : cases) {
    AlternateCodes source = AlternateCodes::Of(c.first, c.encoding);
    source.Append(AlternateCodes::Of(c.second, c.encoding));
    AlternateCodes::Restoration restoration(source);
    std::string written;
    for (const std::string& piece : {c.first, c.second}) {
      std::vector<std::size_t> alternateCodesAt;
      auto bytes = Encode(*Decode(piece, c.encoding), c.encoding, &alternateCodesAt);
      ASSERT_TRUE(bytes.ok());
      EXPECT_NE(*bytes, piece);
      restoration.Restore(*bytes, alternateCodesAt);
      written += *bytes;
    }
    EXPECT_EQ(written, c.first + c.second);
  }
  // ICU reads 8F A2 C3 as ¦, which it cannot write.
  EXPECT_FALSE(Encode(*Decode("\x8F\xA2\xC3", TextEncoding::EucJp), TextEncoding::EucJp).ok());
}

TEST(TextCodec, Cp932BytesAreExact) {
  EXPECT_EQ(*Encode(u"ｶﾞガ\\~", TextEncoding::Cp932), "\xB6\xDE\x83\x4B\\~");
  EXPECT_EQ(*Decode("\x82\xA0\xB1\x0D\x0A", TextEncoding::Cp932), u"あｱ\r\n");
  EXPECT_EQ(*Decode("", TextEncoding::Cp932), u"");
}

TEST(TextCodec, ReportsWhereTheInputIsAtFault) {
  const std::string ascii(100, 'a');
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::size_t invalidAt;
  };
  const Case cases[] = {
      {ascii + "\xFF" + ascii, TextEncoding::Utf8, 100},
      {ascii + "\xE3\x81" + ascii, TextEncoding::Utf8, 100},  // a sequence cut short
      {ascii + "\xED\xA0\x80", TextEncoding::Utf8, 100},      // an encoded surrogate
      {ascii + "\xE3\x81", TextEncoding::Utf8, 100},          // cut short at the end
      {ascii + "\x82", TextEncoding::Cp932, 100},             // a lead byte alone
      {ascii + "\xA0" + ascii, TextEncoding::Cp932, 100},     // no character at 0xA0
      {ascii + "\x82\x20", TextEncoding::Cp932, 100},         // no second byte
      {ascii + "\xA4\xA2\xFF" + ascii, TextEncoding::EucJp, 102},
      {ascii + "\xA4", TextEncoding::EucJp, 100},  // cut short
  };
  for (const Case& c : cases) {
    const auto decoded = Decode(c.bytes, c.encoding);
    ASSERT_FALSE(decoded.ok()) << c.bytes.substr(100);
    EXPECT_EQ(decoded.error().byte, c.invalidAt) << c.bytes.substr(100);
  }
  const std::u16string text = Repeated(u"a", 50);
  EXPECT_EQ(Encode(text + u"€" + text, TextEncoding::Cp932).error().unit, 50u);
  EXPECT_EQ(Encode(text + u"\U0001F600", TextEncoding::Cp932).error().unit, 50u);
  EXPECT_EQ(Encode(text + u'\xD800' + text, TextEncoding::Utf8).error().unit, 50u);
  EXPECT_EQ(Encode(text + u'\xDC00', TextEncoding::Utf8).error().unit, 50u);
  EXPECT_EQ(Encode(text + u"あ€" + text, TextEncoding::EucJp).error().unit, 51u);
  // ICU's EUC-JP would drop a zero-width space or a soft hyphen amid a text unsaid.
  EXPECT_EQ(Encode(text + u"\u200B" + text, TextEncoding::EucJp).error().unit, 50u);
  EXPECT_EQ(Encode(text + u"あ\u00AD€", TextEncoding::EucJp).error().unit, 51u);
}

TEST(TextCodec, AgreesOnRandomUtf8) {
  // Random code points of every UTF-8 length, so the measured sizes meet every case.
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    std::u16string text;
    for (int i = 0; i < 500; ++i) {
      const char32_t ranges[][2] = {
          {0x20, 0x7F}, {0x80, 0x7FF}, {0x800, 0xD7FF}, {0xE000, 0xFFFF}, {0x10000, 0x10FFFF}};
      const auto& range = ranges[random() % 5];
      const char32_t c = range[0] + random() % (range[1] - range[0]);
      if (c > 0xFFFF) {
        text += static_cast<char16_t>(0xD7C0 + (c >> 10));
        text += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
      } else {
        text += static_cast<char16_t>(c);
      }
    }
    const auto encoded = Encode(text, TextEncoding::Utf8);
    ASSERT_TRUE(encoded.ok());
    ASSERT_EQ(*Decode(*encoded, TextEncoding::Utf8), text);
  }
}

}  // namespace
}  // namespace quobrel
