#include "encoding/encoding_detection.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <iterator>
#include <memory>

namespace quobrel {
namespace {

using ByteCounts = std::array<std::size_t, 256>;

ByteCounts CountBytes(std::string_view bytes) {
  ByteCounts counts{};
  for (char b : bytes) ++counts[static_cast<unsigned char>(b)];
  return counts;
}

bool IsAscii(const ByteCounts& counts) {
  return std::all_of(counts.begin() + 0x80, counts.end(), [](std::size_t n) { return n == 0; });
}

// Whether a kanji is of JIS level 1, the common ones: code page 932's 0x889F to 0x9872.
bool IsLevelOneKanji(char16_t c) {
  constexpr char16_t kFirst = 0x4E00, kLast = 0x9FFF;
  static const auto levelOne = [] {
    auto set = std::make_unique<std::bitset<kLast - kFirst + 1>>();
    for (char16_t k = kFirst; k <= kLast; ++k) {
      const Result<std::string, Unencodable> code =
          Encode(std::u16string_view(&k, 1), TextEncoding::Cp932);
      if (!code || code->size() != 2) continue;
      const unsigned value =
          static_cast<unsigned char>((*code)[0]) << 8 | static_cast<unsigned char>((*code)[1]);
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

// The score of ASCII text in a reading, from how often each byte occurs: code page 932
// reads a few control codes as others.
long AsciiScore(const ByteCounts& counts, TextEncoding encoding) {
  static const auto scores = [] {
    std::array<std::array<signed char, 0x80>, std::size(kAllEncodings)> table{};
    for (TextEncoding encoding : kAllEncodings) {
      for (std::size_t b = 0; b < 0x80; ++b) {
        const char byte = static_cast<char>(b);
        const Result<std::u16string, TextPosition> decoded =
            Decode(std::string_view(&byte, 1), encoding);
        table[static_cast<std::size_t>(encoding)][b] =
            static_cast<signed char>(JapaneseScore(decoded ? *decoded : std::u16string()));
      }
    }
    return table;
  }();
  long score = 0;
  for (std::size_t b = 0; b < 0x80; ++b)
    score += static_cast<long>(counts[b]) * scores[static_cast<std::size_t>(encoding)][b];
  return score;
}

// UTF-8 characters of three or four bytes less those of two.
long WideBalance(std::u16string_view text) {
  long balance = 0;
  for (char16_t c : text) {
    if (c >= 0x800 && !U16_IS_TRAIL(c)) ++balance;
    if (c >= 0x80 && c < 0x800) --balance;
  }
  return balance;
}

}  // namespace

EncodingSurvey::Evidence EncodingSurvey::Weigh(std::string_view piece,
                                               const std::vector<TextEncoding>& readers) {
  Evidence evidence;
  const ByteCounts counts = CountBytes(piece);
  evidence.ascii = IsAscii(counts);
  for (TextEncoding encoding : readers) {
    Evidence::Reading& reading = evidence.readings[static_cast<std::size_t>(encoding)];
    reading.read = true;
    if (evidence.ascii) {
      // Alike in every reading, but for the control codes that code page 932 maps
      // elsewhere, which only the scores see.
      reading.score = AsciiScore(counts, encoding);
      continue;
    }
    const auto decoded = Decode(piece, encoding);
    reading.valid = decoded.ok();
    if (!reading.valid) continue;
    reading.score = JapaneseScore(*decoded);
    if (encoding == TextEncoding::Utf8) reading.wideBalance = WideBalance(*decoded);
  }
  return evidence;
}

std::vector<TextEncoding> EncodingSurvey::Possible() const {
  std::vector<TextEncoding> possible;
  for (TextEncoding encoding : kAllEncodings) {
    if (total_.readings[static_cast<std::size_t>(encoding)].valid) possible.push_back(encoding);
  }
  return possible;
}

std::vector<TextEncoding> EncodingSurvey::Readers() const {
  return Settled() ? std::vector<TextEncoding>() : Possible();
}

bool EncodingSurvey::Settled() const { return Possible().size() <= 1; }

void EncodingSurvey::Add(const Evidence& evidence) {
  if (Settled()) return;
  total_.ascii = total_.ascii && evidence.ascii;
  for (std::size_t i = 0; i < std::size(kAllEncodings); ++i) {
    Evidence::Reading& total = total_.readings[i];
    const Evidence::Reading& piece = evidence.readings[i];
    if (!total.valid) continue;
    total.valid = piece.read && piece.valid;
    total.score += piece.score;
    total.wideBalance += piece.wideBalance;
  }
}

Detection EncodingSurvey::Result() const {
  Detection detection;
  if (total_.ascii) {
    detection.asciiOnly = true;
    return detection;
  }
  struct Reading {
    TextEncoding encoding;
    long score;
  };
  std::vector<Reading> readings;
  for (TextEncoding encoding : kAllEncodings) {
    const Evidence::Reading& reading = total_.readings[static_cast<std::size_t>(encoding)];
    if (!reading.valid) continue;
    if (encoding == TextEncoding::Utf8 && reading.wideBalance > 0) {
      detection.encoding = encoding;
      return detection;
    }
    readings.push_back({encoding, reading.score});
  }
  std::sort(readings.begin(), readings.end(),
            [](const Reading& a, const Reading& b) { return a.score > b.score; });
  const bool decisive = readings.size() == 1 || (readings.size() > 1 && readings[0].score >= 2 &&
                                                 4 * readings[1].score < readings[0].score);
  if (decisive) {
    detection.encoding = readings[0].encoding;
    return detection;
  }
  for (const Reading& reading : readings) detection.candidates.push_back(reading.encoding);
  std::sort(detection.candidates.begin(), detection.candidates.end());
  return detection;
}

Detection DetectEncoding(std::string_view bytes) {
  EncodingSurvey survey;
  survey.Add(bytes);
  return survey.Result();
}

}  // namespace quobrel
