#include "encoding/encoding_detection.h"

#include <algorithm>
#include <iterator>

#include "internal/japanese_text_model.h"

namespace quobrel {
namespace {

// How much likelier than every other the reading taken must be: 2 to the power of this.
constexpr long kMarginInBits = 16;

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

}  // namespace

EncodingSurvey::Evidence EncodingSurvey::Weigh(std::string_view piece,
                                               const std::vector<TextEncoding>& readers) {
  Evidence evidence;
  evidence.ascii = IsAscii(piece);
  for (TextEncoding encoding : readers) {
    Evidence::Reading& reading = evidence.readings[static_cast<std::size_t>(encoding)];
    reading.read = true;
    // ASCII reads alike in every encoding, the few control codes that code page 932 maps
    // elsewhere being as unlikely as those they map to: it tells nothing apart.
    if (evidence.ascii) continue;
    const auto decoded = Decode(piece, encoding);
    reading.valid = decoded.ok();
    if (reading.valid) reading.surprisal = Surprisal(*decoded);
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
    total.surprisal += piece.surprisal;
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
    long surprisal;
  };
  std::vector<Reading> readings;
  for (TextEncoding encoding : kAllEncodings) {
    const Evidence::Reading& reading = total_.readings[static_cast<std::size_t>(encoding)];
    if (reading.valid) readings.push_back({encoding, reading.surprisal});
  }
  std::sort(readings.begin(), readings.end(),
            [](const Reading& a, const Reading& b) { return a.surprisal < b.surprisal; });
  if (readings.size() == 1 ||
      (readings.size() > 1 &&
       readings[1].surprisal - readings[0].surprisal >= kMarginInBits * kUnitsPerBit)) {
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
