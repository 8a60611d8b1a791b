// Telling encodings apart, on texts of our own making written in each encoding, and on the
// misreadings that look most like Japanese: no text is ever taken in the wrong encoding.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "encoding/encoding_detection.h"
#include "engine/conversions.h"

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

// Decided as `expected`, reading back the text; or, when `expected` is nothing, left
// undecided with the encodings that read it.
void ExpectDetected(std::u16string_view text, TextEncoding written,
                    std::optional<TextEncoding> expected) {
  const std::string bytes = Bytes(text, written);
  const Detection detection = DetectEncoding(bytes);
  EXPECT_EQ(detection.encoding, expected) << bytes;
  if (detection.encoding) {
    const auto decoded = Decode(bytes, *detection.encoding);
    EXPECT_EQ(decoded ? *decoded : std::u16string(), text);
  } else {
    EXPECT_GE(detection.candidates.size(), 2u) << bytes;
  }
}

// Decided as written, or left undecided: never taken for another encoding.
void ExpectNeverWrong(std::u16string_view text, TextEncoding written) {
  const Detection detection = DetectEncoding(Bytes(text, written));
  EXPECT_EQ(detection.encoding.value_or(written), written) << Bytes(text, written);
}

std::u16string HalfWidth(std::u16string_view text) {
  return convert::ToHalfWidth(text, {.katakana = true});
}

TEST(EncodingDetection, SentencesAndShortTextsInEachEncoding) {
  const std::u16string_view texts[] = {
      u"今日は良い天気ですね。",         u"会議室の予約を変更しました",
      u"東京都千代田区丸の内一丁目",     u"第3四半期決算報告書",
      u"カレーライスとサラダ",           u"パスワード",
      u"- 引数が多すぎます (最大 4 個)",
  };
  for (std::u16string_view text : texts) {
    ExpectDetected(text, kUtf8, kUtf8);
    ExpectDetected(text, kCp932, kCp932);
    ExpectDetected(text, kEucJp, kEucJp);
    ExpectDetected(HalfWidth(text), kCp932, kCp932);
  }
}

TEST(EncodingDetection, MisreadingsThatLookJapaneseAreNeverTaken) {
  // EUC-JP kanji whose second byte is DE or DF read in code page 932 as a half-width
  // kana and a voiced mark in its place: 図 BF DE is ｿﾞ, 五 B8 DE is ｸﾞ.
  ExpectNeverWrong(u"図3.51 完成図", kEucJp);
  ExpectDetected(u"五つの枝と図", kEucJp, kEucJp);
  // Valid UTF-8 too, of a rare kanji (E8 87 92) or of Sinhala and Limbu letters.
  ExpectDetected(u"閾値", kCp932, kCp932);
  ExpectDetected(u"犇めき", kEucJp, kEucJp);
  // The half-width middle dot A5 before a half-width katakana reads as an EUC-JP katakana.
  ExpectDetected(u"ｶｰﾄﾞ･ｹﾞｰﾑ", kCp932, kCp932);
  ExpectDetected(u"ﾃﾞｰﾀ･ﾍﾞｰｽ･ｻｰﾊﾞ", kCp932, kCp932);
}

TEST(EncodingDetection, WhatReadsPlausiblyTwoWaysIsRefused) {
  // B1 B2 is 渦 in EUC-JP and ｱｲ in code page 932.
  ExpectDetected(u"渦", kEucJp, std::nullopt);
  ExpectDetected(u"ｱｲ", kCp932, std::nullopt);
  // ｶﾞ alone: C2 DE, valid UTF-8 too.
  ExpectDetected(u"ｶﾞ", kCp932, std::nullopt);
}

TEST(EncodingDetection, AsciiAndInvalid) {
  const Detection ascii = DetectEncoding("plain text\r\n");
  EXPECT_TRUE(ascii.asciiOnly);
  EXPECT_FALSE(ascii.encoding);

  const Detection invalid = DetectEncoding("\x82\xFF\xFE");
  EXPECT_FALSE(invalid.encoding);
  EXPECT_TRUE(invalid.candidates.empty());
}

}  // namespace
}  // namespace quobrel
