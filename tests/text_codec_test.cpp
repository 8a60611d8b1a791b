#include <gtest/gtest.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "encoding/alternate_codes.h"
#include "encoding/text_codec.h"
#include "tests/instruction_sets.h"

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

// The reference: ICU's macros one character at a time, and the place of a fault counted by
// hand (the texts below break lines with LF alone).
struct Utf8Reference {
  std::u16string text;
  std::optional<TextPosition> invalidAt;
};

Utf8Reference DecodeOneByOne(std::string_view bytes) {
  Utf8Reference reference;
  TextPosition place;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t at = i;
    UChar32 c;
    U8_NEXT(bytes.data(), i, bytes.size(), c);
    if (c < 0) {
      place.byte = at;
      return {u"", place};
    }
    place.column = c == '\n' ? 1 : place.column + 1;
    place.line += c == '\n';
    char16_t units[2];
    std::size_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    reference.text.append(units, length);
  }
  return reference;
}

// The bytes, or the unit of the first unpaired surrogate.
std::pair<std::string, std::optional<std::size_t>> EncodeOneByOne(std::u16string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    if (U_IS_SURROGATE(c)) return {"", at};
    char sequence[4];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(sequence, length, c);
    bytes.append(sequence, length);
  }
  return {bytes, std::nullopt};
}

// Where two texts first differ: to report rather than the texts.
template <class Text>
std::size_t FirstDifference(const Text& a, const Text& b) {
  return std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
}

// Random text in runs of one kind of character: ASCII (with line breaks), two bytes, three
// (Japanese, and those next to the surrogates and the ends of the range), four; Japanese and
// ASCII most.
std::u16string RandomText(std::mt19937& random, std::size_t characters) {
  const std::vector<std::u32string> kinds = {
      U"abcdefghijklmnopqrstuvwxyz0123456789 .\n\x7F",
      U"\u0080\u00E9\u07FF",
      U"あいうカナ漢字、。ｱ\u0800\u0FFF\u1000\uD7FF\uE000\uFFFD\uFFFF",
      U"\U00010000\U0001F600\U0010FFFF",
  };
  const unsigned weights[] = {8, 1, 8, 1};
  std::discrete_distribution<std::size_t> kindOf(std::begin(weights), std::end(weights));
  std::u16string text;
  for (std::size_t count = 0; count < characters;) {
    const std::u32string& kind = kinds[kindOf(random)];
    for (std::size_t run = random() % 40 + 1; run > 0 && count < characters; --run, ++count) {
      const char32_t c = kind[random() % kind.size()];
      if (c > 0xFFFF) {
        text += static_cast<char16_t>(U16_LEAD(c));
        text += static_cast<char16_t>(U16_TRAIL(c));
      } else {
        text += static_cast<char16_t>(c);
      }
    }
  }
  return text;
}

TEST(TextCodec, Utf8AgreesWithIcuOneCharacterAtATime) {
  std::mt19937 random(11);
  testing::ForEachInstructionSet([&] {
    // Long enough for several of the chunks a text is converted in. Each result holds no
    // more memory than it needs (but for a short string's own).
    for (std::size_t characters : {0, 1, 2, 3, 17, 100, 1000, 30000}) {
      const std::u16string text = RandomText(random, characters);
      const auto [bytes, unencodable] = EncodeOneByOne(text);
      ASSERT_FALSE(unencodable);
      const auto encoded = Encode(text, TextEncoding::Utf8);
      ASSERT_TRUE(encoded.ok());
      EXPECT_TRUE(*encoded == bytes) << "from byte " << FirstDifference(*encoded, bytes);
      EXPECT_LE(encoded->capacity(), std::max<std::size_t>(bytes.size(), 32));
      EXPECT_TRUE(IsValidUtf8(bytes));
      const auto decoded = Decode(bytes, TextEncoding::Utf8);
      ASSERT_TRUE(decoded.ok());
      EXPECT_TRUE(*decoded == text) << "from unit " << FirstDifference(*decoded, text);
      EXPECT_LE(decoded->capacity(), std::max<std::size_t>(text.size(), 32));
    }
  });
}

TEST(TextCodec, Utf8FaultsAreFoundWhereIcuFindsThem) {
  // Stray trail bytes; sequences cut short, overlong, of surrogates, beyond U+10FFFF.
  const std::string_view invalid[] = {"\x80",
                                      "\xBF",
                                      "\xC3",
                                      "\xE3\x81",
                                      "\xF0\x9F\x98",
                                      "\xC0\x80",
                                      "\xC1\xBF",
                                      "\xE0\x80\x80",
                                      "\xE0\x9F\xBF",
                                      "\xF0\x8F\xBF\xBF",
                                      "\xED\xA0\x80",
                                      "\xED\xBF\xBF",
                                      "\xF4\x90\x80\x80",
                                      "\xF5\x80\x80\x80",
                                      "\xF8",
                                      "\xFE",
                                      "\xFF"};
  std::mt19937 random(12);
  testing::ForEachInstructionSet([&] {
    const std::u16string text = RandomText(random, 150);
    const std::string bytes = *Encode(text, TextEncoding::Utf8);
    // Every place a character starts, past the edges of vectors of 8 to 64 bytes, and the
    // text's end.
    for (std::size_t at = 0; at <= std::min<std::size_t>(bytes.size(), 140); ++at) {
      if (at < bytes.size() && U8_IS_TRAIL(bytes[at])) continue;
      for (const std::string_view fault : invalid) {
        for (const bool cutShort : {false, true}) {
          const std::string faulty =
              bytes.substr(0, at).append(fault).append(cutShort ? "" : bytes.substr(at));
          const Utf8Reference reference = DecodeOneByOne(faulty);
          ASSERT_TRUE(reference.invalidAt);
          EXPECT_FALSE(IsValidUtf8(faulty)) << at << ' ' << ::testing::PrintToString(fault);
          const auto decoded = Decode(faulty, TextEncoding::Utf8);
          ASSERT_FALSE(decoded.ok()) << at;
          EXPECT_EQ(decoded.error(), *reference.invalidAt)
              << at << ' ' << ::testing::PrintToString(fault);
        }
      }
    }
    // Any byte put anywhere, which may or may not make a fault.
    for (int round = 0; round < 20'000; ++round) {
      std::string changed = bytes;
      changed[random() % changed.size()] = static_cast<char>(random());
      EXPECT_EQ(IsValidUtf8(changed), !DecodeOneByOne(changed).invalidAt)
          << ::testing::PrintToString(changed);
    }
    // A surrogate without its other half, at the end or not.
    for (std::size_t at = 0; at <= std::min<std::size_t>(text.size(), 80); ++at) {
      if (at < text.size() && U16_IS_TRAIL(text[at])) continue;
      for (const char16_t lone : {u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'}) {
        for (const bool cutShort : {false, true}) {
          const std::u16string faulty =
              text.substr(0, at) + lone + (cutShort ? u"" : text.substr(at));
          const auto [bytes, unencodable] = EncodeOneByOne(faulty);
          ASSERT_TRUE(unencodable);
          const auto encoded = Encode(faulty, TextEncoding::Utf8);
          ASSERT_FALSE(encoded.ok());
          EXPECT_EQ(encoded.error().unit, *unencodable) << at;
        }
      }
    }
  });
}

}  // namespace
}  // namespace quobrel
