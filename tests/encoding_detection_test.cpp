// Telling encodings apart, on real lines of the Japanese manual pages written in each
// encoding, and on short texts of half-width katakana.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "encoding/encoding_detection.h"

namespace quobrel {
namespace {

constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto kCp932 = TextEncoding::Cp932;
constexpr auto kEucJp = TextEncoding::EucJp;

std::string Bytes(std::u16string_view text, TextEncoding encoding) {
  const auto encoded = Encode(text, encoding);
  EXPECT_TRUE(encoded.ok());
  return encoded ? *encoded : std::string();
}

// A reading is never taken in the wrong encoding; where nothing decides, it is left
// undecided with the encodings that read it.
void ExpectDetected(const std::string& bytes, std::optional<TextEncoding> expected,
                    std::u16string_view text) {
  const Detection detection = DetectEncoding(bytes);
  EXPECT_EQ(detection.encoding, expected) << bytes;
  if (detection.encoding) {
    const auto decoded = Decode(bytes, *detection.encoding);
    EXPECT_EQ(decoded ? *decoded : std::u16string(), text);
  } else {
    EXPECT_GE(detection.candidates.size(), 2u) << bytes;
  }
}

TEST(EncodingDetection, RealLinesInEachEncoding) {
  struct Line {
    std::u16string_view text;
    std::optional<TextEncoding> cp932, eucJp;  // UTF-8 is always decided
  };
  const Line lines[] = {
      {u"これらの関数は使わない方がよいだろう。", kCp932, kEucJp},
      {u"である場合、", kCp932, kEucJp},
      {u"そのポートをオープンできなくなります。", kCp932, kEucJp},
      {u"カレント・ワーキング・ディレクトリ", kCp932, kEucJp},
      {u"最後のセッションを空にする。", kCp932, kEucJp},
      {u"(バージョン 2 の quota),", kCp932, kEucJp},
      {u"2 (9), 3, 4, 5, 7, 10, 11, 12, 15 以外の IRQ は", kCp932, kEucJp},
      {u"\\fBuser\\fR シェル変数と同じです。", kCp932, kEucJp},
      {u"\\fB\\-\\-append\\fP も参照していただきたい。", kCp932, kEucJp},
      // Kanji alone: little to go by.
      {u"補助グループ ID", kCp932, kEucJp},
      {u"環境のリスト", kCp932, kEucJp},
      {u".SH 注意", kCp932, std::nullopt},
      {u"    glibc 2.19 以降:", kCp932, std::nullopt},
  };
  for (const Line& line : lines) {
    ExpectDetected(Bytes(line.text, kUtf8), kUtf8, line.text);
    ExpectDetected(Bytes(line.text, kCp932), line.cp932, line.text);
    ExpectDetected(Bytes(line.text, kEucJp), line.eucJp, line.text);
  }
}

TEST(EncodingDetection, HalfWidthKatakanaIsNeverTakenForUtf8) {
  struct Text {
    std::u16string_view text;
    std::optional<TextEncoding> expected;
  };
  const Text texts[] = {
      {u"ｶﾞｯｺｳ", kCp932},
      {u"ｶﾚﾝﾄ･ﾜｰｷﾝｸﾞ･ﾃﾞｨﾚｸﾄﾘ", kCp932},
      {u"ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ", kCp932},
      {u".SH ｵﾌﾟｼｮﾝ", kCp932},
      {u"ﾃﾞｰﾀﾍﾞｰｽ", kCp932},
      // Valid UTF-8 too (C3 BD is ý), and as EUC-JP a kanji: nothing decides.
      {u"ﾃｽ", std::nullopt},
      {u"ﾃｷｽﾄ", std::nullopt},
      {u"ｶﾞ", std::nullopt},  // one character decides nothing
  };
  for (const Text& text : texts) {
    ExpectDetected(Bytes(text.text, kCp932), text.expected, text.text);
  }
  // In EUC-JP half-width katakana take two bytes each.
  ExpectDetected(Bytes(u"ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ", kEucJp), kEucJp, u"ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ");
}

TEST(EncodingDetection, AsciiInvalidAndUtf8ThatCodePage932AlsoReads) {
  const Detection ascii = DetectEncoding("plain text\r\n");
  EXPECT_TRUE(ascii.asciiOnly);
  EXPECT_FALSE(ascii.encoding);

  const Detection invalid = DetectEncoding("\x82\xFF\xFE");
  EXPECT_FALSE(invalid.encoding);
  EXPECT_TRUE(invalid.candidates.empty());

  // E3 82 A2 E3 82 A4 E3 82 A6 is also code page 932: kanji and half-width punctuation.
  ASSERT_TRUE(Decode("\xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6", kCp932).ok());
  ExpectDetected("\xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6", kUtf8, u"アイウ");
}

}  // namespace
}  // namespace quobrel
