#include "batch/text_stream.h"

namespace quobrel {

ConvertedPiece ConvertPiece(std::string_view bytes, bool last, const FileKind& kind,
                            const TextCommand& command) {
  ConvertedPiece piece;
  DecodedText decoded = Decode(bytes, kind.encoding);
  if (decoded.invalidByteAt) {
    piece.failure = TextFailure::Invalid;
    piece.failedAt = *decoded.invalidByteAt;
    return piece;
  }
  // ICU's EUC-JP reads some codes as characters it writes with other codes: such a file
  // would change where nothing was converted.
  if (kind.encoding == TextEncoding::EucJp && Encode(decoded.text, kind.encoding).bytes != bytes) {
    piece.failure = TextFailure::NotRoundTrip;
    return piece;
  }
  CommandResult result = command(ForCommands(std::move(decoded.text), kind.lineBreaks, last));
  const std::u16string text = ForFile(std::move(result.text), kind.lineBreaks);
  EncodedText encoded = Encode(text, kind.encoding);
  if (encoded.unencodableAt) {
    piece.failure = TextFailure::Unencodable;
    piece.failedAt = *encoded.unencodableAt;
    return piece;
  }
  piece.bytes = std::move(encoded.bytes);
  if (!kind.duplicates.empty()) piece.sharedCodesAt = Cp932Duplicates::SharedCodesIn(piece.bytes);
  piece.count = result.count;
  piece.resultUnits = text.size();
  return piece;
}

StreamOutcome StreamText(PieceReader& reader, WorkerPool& pool, const FileKind& kind,
                         const TextCommand& command, const WriteBytes& write,
                         const std::function<bool()>& waiting) {
  StreamOutcome outcome;
  if (kind.byteOrderMark) outcome.writeError = write(kUtf8ByteOrderMark);
  if (outcome.writeError) return outcome;
  Cp932Duplicates::Restoration restoration(kind.duplicates);
  std::size_t unitsBefore = 0;
  const auto jobFor = [&](Piece piece) -> std::function<std::pair<ConvertedPiece, Piece>()> {
    return [&kind, &command, piece = std::move(piece)]() mutable {
      ConvertedPiece converted = ConvertPiece(piece.bytes, piece.last, kind, command);
      piece.bytes = std::string();  // only its place is needed now
      return std::pair(std::move(converted), std::move(piece));
    };
  };
  const auto commit = [&](std::pair<ConvertedPiece, Piece>& done) {
    auto& [converted, piece] = done;
    outcome.failure = converted.failure;
    if (converted.failure == TextFailure::Invalid)
      outcome.failedAt = piece.offset + converted.failedAt;
    if (converted.failure == TextFailure::Unencodable)
      outcome.failedAt = unitsBefore + converted.failedAt;
    if (converted.failure != TextFailure::None) return false;
    unitsBefore += converted.resultUnits;
    outcome.count += converted.count;
    restoration.Restore(converted.bytes, converted.sharedCodesAt);
    outcome.writeError = write(converted.bytes);
    if (!outcome.writeError && piece.last)
      outcome.writeError = write(FinalLineBreak(kind.lineBreaks));
    return !outcome.writeError;
  };
  const auto keepGoing = [&] {
    outcome.stopped = !waiting();
    return !outcome.stopped;
  };
  outcome.readError =
      StreamPieces<std::pair<ConvertedPiece, Piece>>(reader, pool, jobFor, commit, keepGoing);
  return outcome;
}

}  // namespace quobrel
