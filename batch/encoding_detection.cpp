#include "batch/encoding_detection.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <bitset>
#include <memory>

namespace quobrel {
namespace {

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

// Whether a kanji is of JIS level 1, the common ones: code page 932's 0x889F to 0x9872.
bool IsLevelOneKanji(char16_t c) {
  constexpr char16_t kFirst = 0x4E00, kLast = 0x9FFF;
  static const auto levelOne = [] {
    auto set = std::make_unique<std::bitset<kLast - kFirst + 1>>();
    for (char16_t k = kFirst; k <= kLast; ++k) {
      const EncodedText code = Encode(std::u16string_view(&k, 1), TextEncoding::Cp932);
      if (code.unencodableAt || code.bytes.size() != 2) continue;
      const unsigned value = static_cast<unsigned char>(code.bytes[0]) << 8 |
                             static_cast<unsigned char>(code.bytes[1]);
      set->set(k - kFirst, value >= 0x889F && value <= 0x9872);
    }
    return set;
  }();
  return c >= kFirst && c <= kLast && levelOne->test(c - kFirst);
}

bool TakesVoicedMark(char16_t c) {
  return (c >= u'ｶ' && c <= u'ﾄ') || (c >= u'ﾊ' && c <= u'ﾎ') || c == u'ｳ' || c == u'ﾜ' ||
         c == u'ｦ';
}
bool TakesSemiVoicedMark(char16_t c) { return c >= u'ﾊ' && c <= u'ﾎ'; }

// How much a reading looks like Japanese text: see the header.
long JapaneseScore(std::u16string_view text) {
  long score = 0;
  char16_t previous = 0;
  for (char16_t c : text) {
    const bool kana = c >= u'ぁ' && c <= u'ヿ';
    const bool punctuation = c == u'、' || c == u'。' || c == u'「' || c == u'」';
    const bool mark = c == u'ﾞ' || c == u'ﾟ';
    const bool markInPlace =
        c == u'ﾞ' ? TakesVoicedMark(previous) : c == u'ﾟ' && TakesSemiVoicedMark(previous);
    const bool kanji = c >= 0x4E00 && c <= 0x9FFF;
    const bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    const bool unlikely = (c >= 0x80 && c < 0x800) || (c >= 0xE000 && c <= 0xF8FF) || control ||
                          (mark && !markInPlace) || (kanji && !IsLevelOneKanji(c));
    score += (kana || punctuation || markInPlace) - long{unlikely};
    previous = c;
  }
  return score;
}

// Whether the start of the bytes already shows they are not UTF-8: a file in another
// encoding is then not decoded whole, into a buffer of its size, only to find out.
bool StartsAsInvalidUtf8(std::string_view bytes) {
  constexpr std::size_t kSample = 1 << 16;
  const std::size_t length = std::min(bytes.size(), kSample);
  for (std::size_t at = 0; at < length;) {
    UChar32 c;
    U8_NEXT(bytes.data(), at, bytes.size(), c);
    if (c < 0) return true;
  }
  return false;
}

// UTF-8 characters of three or four bytes outnumber those of two.
bool MostlyWideUtf8(std::u16string_view text) {
  long balance = 0;
  for (char16_t c : text) {
    if (c >= 0x800 && !U16_IS_TRAIL(c)) ++balance;
    if (c >= 0x80 && c < 0x800) --balance;
  }
  return balance > 0;
}

}  // namespace

Detection DetectEncoding(std::string_view bytes) {
  Detection detection;
  if (IsAscii(bytes)) {
    detection.asciiOnly = true;
    detection.text.assign(bytes.begin(), bytes.end());
    return detection;
  }
  struct Reading {
    TextEncoding encoding;
    std::u16string text;
    long score = 0;
  };
  std::vector<Reading> readings;
  for (TextEncoding encoding : kAllEncodings) {
    if (encoding == TextEncoding::Utf8 && StartsAsInvalidUtf8(bytes)) continue;
    DecodedText decoded = Decode(bytes, encoding);
    if (decoded.invalidByteAt) continue;
    if (encoding == TextEncoding::Utf8 && MostlyWideUtf8(decoded.text)) {
      return {encoding, std::move(decoded.text), false, {}};
    }
    readings.push_back({encoding, std::move(decoded.text)});
  }
  if (readings.size() > 1) {
    for (Reading& reading : readings) reading.score = JapaneseScore(reading.text);
    std::sort(readings.begin(), readings.end(),
              [](const Reading& a, const Reading& b) { return a.score > b.score; });
    if (readings[0].score >= 2 && 4 * readings[1].score < readings[0].score) readings.resize(1);
  }
  if (readings.size() == 1) return {readings[0].encoding, std::move(readings[0].text), false, {}};
  for (const Reading& reading : readings) detection.candidates.push_back(reading.encoding);
  std::sort(detection.candidates.begin(), detection.candidates.end());
  return detection;
}

}  // namespace quobrel
