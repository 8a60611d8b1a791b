// Telling the encoding apart, whole and in pieces: pieces cut just after line breaks,
// anywhere among them, each weighed in the encodings still in question when it was
// cut, must lead to the decision the whole text leads to. A decision must hold: a decided
// encoding decodes the text, the candidates of an undecided one are those that decode it.
//
// The input: a byte for the cuts, a byte for the format, then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "encoding/encoding_detection.h"
#include "encoding/file_text.h"
#include "encoding/text_codec.h"
#include "fuzz/fuzz_check.h"

namespace quobrel {
namespace {

bool Decodes(std::string_view bytes, TextEncoding encoding) { return Decode(bytes, encoding).ok(); }

bool SameDecision(const Detection& a, const Detection& b) {
  return a.encoding == b.encoding && a.asciiOnly == b.asciiOnly && a.candidates == b.candidates;
}

// What the whole text's decision must be, from which encodings decode it.
void CheckWholeDecision(std::string_view text, const Detection& whole) {
  std::vector<TextEncoding> decoding;
  for (TextEncoding encoding : kAllEncodings) {
    if (Decodes(text, encoding)) decoding.push_back(encoding);
  }
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  Check(whole.asciiOnly == ascii);
  if (ascii) {
    Check(!whole.encoding && whole.candidates.empty());
    Check(decoding.size() == std::size(kAllEncodings));
  } else if (whole.encoding) {
    Check(Decodes(text, *whole.encoding) && whole.candidates.empty());
  } else {
    // Undecided between two or more, or decoded by none.
    Check(whole.candidates == decoding && decoding.size() != 1);
  }
}

// `text` cut just after some of its line breaks (never between CR and LF), chosen by
// `seed`: each with odds of one in `odds`.
std::vector<std::string> Cut(std::string_view text, unsigned seed, unsigned odds) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    pieces.back() += text[i];
    const bool lineBreak =
        text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] != '\n');
    seed = seed * 1103515245u + 12345u;
    if (lineBreak && (seed >> 16) % odds == 0) pieces.emplace_back();
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

// Each piece weighed in what the survey asked for when it was cut, `lag` pieces ahead of
// its turn as a pool works ahead, and added in order while `add` wants more.
template <class Ask, class Weigh, class Add>
void InTurn(const std::vector<std::string>& pieces, std::size_t lag, Ask ask, Weigh weigh,
            Add add) {
  std::deque<decltype(ask())> asked;
  for (std::size_t next = 0, added = 0; added < pieces.size(); ++added) {
    for (; next < pieces.size() && next <= added + lag; ++next) asked.push_back(ask());
    if (!add(weigh(pieces[added], asked.front()))) return;
    asked.pop_front();
  }
}

// DetectEncoding on the whole text, and the survey given the pieces.
void CheckDetection(std::string_view text, const std::vector<std::string>& pieces, std::size_t lag,
                    bool weighInAll) {
  const Detection whole = DetectEncoding(text);
  CheckWholeDecision(text, whole);
  EncodingSurvey survey;
  InTurn(
      pieces, lag,
      [&] {
        // More than the survey asks for changes nothing.
        return weighInAll
                   ? std::vector<TextEncoding>(std::begin(kAllEncodings), std::end(kAllEncodings))
                   : survey.Readers();
      },
      &EncodingSurvey::Weigh,
      [&](const EncodingSurvey::Evidence& evidence) {
        survey.Add(evidence);
        return true;
      });
  const Detection inPieces = survey.Result();
  if (whole.encoding || whole.asciiOnly || !whole.candidates.empty()) {
    Check(SameDecision(inPieces, whole));
  } else {
    // Decoded by none: once a single encoding is left, the later pieces go unweighed, and
    // converting them in it shows the fault.
    Check(inPieces.candidates.empty() &&
          (!inPieces.encoding || !Decodes(text, *inPieces.encoding)));
  }
}

struct Surveyed {
  FileSurvey::Outcome outcome;
  FileKind kind;
};

// A file's first reading, which also looks for line breaks, NUL bytes and the alternate
// codes of code page 932 and EUC-JP, and stops where nothing more is to be learnt. The pieces
// follow the input's byte-order mark, if it has one.
Surveyed SurveyFile(std::string_view input, const std::vector<std::string>& pieces, std::size_t lag,
                    const FileFormat& format, std::size_t textStart) {
  Surveyed surveyed;
  FileSurvey survey(format);
  Check(survey.TakeByteOrderMark(input.substr(0, 3)) == textStart);
  InTurn(
      pieces, lag, [&] { return survey.NextPlan(); }, &FileSurvey::Look,
      [&](const FileSurvey::Notes& notes) {
        survey.Add(notes);
        return survey.NextPlan().Any();
      });
  surveyed.outcome = survey.Finish(surveyed.kind);
  return surveyed;
}

void CheckFileSurvey(std::string_view input, std::string_view text,
                     const std::vector<std::string>& pieces, std::size_t lag,
                     const FileFormat& format) {
  const std::size_t textStart = input.size() - text.size();
  const Surveyed whole = SurveyFile(input, {std::string(text)}, 0, format, textStart);
  const Surveyed inPieces = SurveyFile(input, pieces, lag, format, textStart);
  if (whole.outcome.failure != TextFailure::Invalid) {
    Check(inPieces.outcome.failure == whole.outcome.failure);
    Check(inPieces.outcome.encodings == whole.outcome.encodings);
    Check(inPieces.outcome.detected == whole.outcome.detected);
    if (whole.outcome.failure == TextFailure::None) {
      Check(inPieces.kind.encoding == whole.kind.encoding);
      Check(inPieces.kind.byteOrderMark == whole.kind.byteOrderMark);
      Check(inPieces.kind.lineBreaks == whole.kind.lineBreaks);
    }
  }
  // The alternate codes noted piece by piece give the text back its very bytes.
  const TextEncoding encoding = inPieces.kind.encoding;
  if (inPieces.outcome.failure != TextFailure::None || !HasAlternateCodes(encoding)) return;
  const Result<std::u16string, TextPosition> decoded = Decode(text, encoding);
  if (!decoded) return;
  std::vector<std::size_t> alternateCodesAt;
  Result<std::string, Unencodable> back = Encode(*decoded, encoding, &alternateCodesAt);
  // But for a character EUC-JP reads and cannot write, which reading the text refuses.
  Check(back.ok() || encoding == TextEncoding::EucJp);
  if (!back) return;
  AlternateCodes::Restoration(inPieces.kind.alternateCodes).Restore(*back, alternateCodesAt);
  Check(*back == text);
}

}  // namespace
}  // namespace quobrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quobrel;
  if (size < 2) return 0;
  // The first byte cuts, the second chooses the rest.
  const unsigned odds = 1 + data[0] % 4;
  const std::size_t lag = std::size_t{data[0]} / 4 % 4;
  const bool weighInAll = (data[1] & 0x80) != 0;
  const FileFormat format{std::nullopt, data[1] & 1 ? TextEncoding::Utf8 : TextEncoding::Cp932,
                          static_cast<LineBreakRule>(data[1] / 2 % 4)};
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string_view text =
      input.substr(input.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0);
  const std::vector<std::string> pieces = Cut(text, data[0], odds);
  CheckDetection(text, pieces, lag, weighInAll);
  CheckFileSurvey(input, text, pieces, lag, format);
  return 0;
}
