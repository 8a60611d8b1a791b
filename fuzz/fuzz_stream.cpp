// A text streamed in pieces against the whole text converted at once: whatever the piece
// size and however the reads fall, the same bytes come out, or the same failure at the same
// place. The commands: a conversion, which never looks across a line break, and a
// replacement whose search holds one, which takes the pieces in order.
//
// The input: a byte for the pieces, one for the format and the command, two for the
// command's choices, then the text.
#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "conversion/file_commands.h"
#include "encoding/file_text.h"
#include "fuzz/fuzz_check.h"
#include "stream/piece_stream.h"
#include "stream/text_stream.h"
#include "stream/worker_pool.h"
#include "tests/trickle.h"

namespace quobrel {
namespace {

constexpr std::optional<TextEncoding> kEncodingChoices[] = {
    std::nullopt, TextEncoding::Utf8, TextEncoding::Cp932, TextEncoding::EucJp};

// Searches that hold line breaks, found in texts of kana and line breaks: each match may
// span two pieces.
constexpr std::u16string_view kSearches[] = {
    u"\r\n",   u"\n",   u"\r",   u"\n\n",     u"\r\r\n",   u"a\n",  u"\nb", u"ｶ\r",
    u"ﾞ\r\nｶ", u"。\n", u"\nあ", u"Ａ\r\nａ", u"\r\n\r\n", u"\n\r", u" \n", u"\r\nｶﾞ"};
// Replacements: some add or take away line breaks (a CR may become the first half of a
// CR LF with the next piece), one has a character only UTF-8 holds.
constexpr std::u16string_view kReplacements[] = {u"",   u"|",  u"¶\r", u"\r\n",
                                                 u"\r", u"≒x", u"😀",   u"ｶﾞ\n"};

FileCommand CommandOf(bool replace, std::uint8_t first, std::uint8_t second) {
  if (replace) {
    return ReplacingCommand(
        {std::u16string(kSearches[first % 16]), std::u16string(kReplacements[first / 16 % 8]),
         first & 0x80 ? convert::CompareMode::IgnoreCase : convert::CompareMode::Exact});
  }
  return ConvertingCommand({.digits = static_cast<Width>(first % 3),
                            .letters = static_cast<Width>(first / 3 % 3),
                            .symbols = static_cast<Width>(first / 9 % 3),
                            .katakana = static_cast<Width>(first / 27 % 3),
                            .kana = static_cast<Script>(first / 81 % 3),
                            .letterCase = static_cast<LetterCase>(second % 7),
                            .spaces = static_cast<Spaces>(second / 7 % 4)});
}

struct Converted {
  std::string bytes;
  StreamOutcome outcome;
};

// The whole text at once: one piece through the command; the last, or one that more text
// follows.
Converted Whole(std::string_view text, const FileKind& kind, const FileCommand& command,
                bool last) {
  Converted whole;
  ConvertedPiece piece = ConvertPiece(text, last, kind, command);
  whole.outcome.failure = piece.failure;
  whole.outcome.invalidAt = piece.invalidAt;
  whole.outcome.unencodableAt = piece.unencodableAt;
  if (piece.failure != TextFailure::None) return whole;
  AlternateCodes::Restoration(kind.alternateCodes).Restore(piece.bytes, piece.alternateCodesAt);
  whole.bytes = std::string(kind.byteOrderMark ? kUtf8ByteOrderMark : "") + piece.bytes +
                std::string(FinalLineBreak(kind.lineBreaks));
  whole.outcome.count = piece.count;
  return whole;
}

Converted InPieces(std::string_view text, const FileKind& kind, const FileCommand& command,
                   std::size_t pieceSize, unsigned readSeed) {
  static WorkerPool pool(2);
  Converted streamed;
  PieceReader reader(Trickle(text, readSeed), pieceSize);
  streamed.outcome = StreamText(
      reader, pool, kind, command,
      [&](std::string_view bytes) {
        streamed.bytes.append(bytes);
        return std::error_code();
      },
      [] { return true; });
  Check(!streamed.outcome.readError && !streamed.outcome.writeError && !streamed.outcome.stopped);
  return streamed;
}

void CheckSame(std::string_view text, bool last, const FileKind& kind, const FileCommand& command,
               const Converted& streamed) {
  const Converted whole = Whole(text, kind, command, last);
  const StreamOutcome& expected = whole.outcome;
  const StreamOutcome& outcome = streamed.outcome;
  if (expected.failure == TextFailure::Invalid && outcome.failure != TextFailure::Invalid) {
    // A piece before the one with the invalid bytes failed first, in what the text holds
    // before the line of those bytes, which goes on there.
    const std::string_view before =
        text.substr(0, EndOfLastLineBreak(text.substr(0, expected.invalidAt.byte), true));
    CheckSame(before, false, kind, command, streamed);
    return;
  }
  if (expected.failure == TextFailure::NotRoundTrip && outcome.failure == TextFailure::Unencodable)
    return;  // the text that would not be written back lies in a later piece
  Check(outcome.failure == expected.failure);
  switch (expected.failure) {
    case TextFailure::None:
      Check(outcome.count == expected.count);
      Check(streamed.bytes == whole.bytes);
      break;
    case TextFailure::Invalid:
      Check(outcome.invalidAt == expected.invalidAt);
      break;
    case TextFailure::Unencodable:
      Check(outcome.unencodableAt == expected.unencodableAt);
      break;
    default:
      break;
  }
}

}  // namespace
}  // namespace quobrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quobrel;
  if (size < 4) return 0;
  const std::size_t pieceSize = std::size_t{1} + data[0] % 16;
  const std::uint8_t choices = data[1];
  const FileFormat format{
      kEncodingChoices[choices % 4], choices & 0x80 ? TextEncoding::Utf8 : TextEncoding::Cp932,
      static_cast<LineBreakRule>(choices / 4 % 4), kEncodingChoices[choices / 16 % 4]};
  const FileCommand command = CommandOf((choices & 0x40) != 0, data[2], data[3]);
  const std::string_view input(reinterpret_cast<const char*>(data) + 4, size - 4);

  // The file's kind, from a first reading of the whole.
  FileSurvey survey(format);
  const std::string_view text = input.substr(survey.TakeByteOrderMark(input.substr(0, 3)));
  survey.Add(FileSurvey::Look(text, survey.NextPlan()));
  FileKind kind;
  if (survey.Finish(kind).failure != TextFailure::None) return 0;

  CheckSame(text, true, kind, command, InPieces(text, kind, command, pieceSize, data[0]));
  return 0;
}
