#include "stream/text_stream.h"

#include <algorithm>
#include <optional>

namespace quobrel {
namespace {

ConvertedPiece FailedPiece(const DecodedPiece& decoded) {
  ConvertedPiece piece;
  piece.failure = decoded.failure;
  piece.invalidAt = decoded.invalidAt;
  return piece;
}

}  // namespace

DecodedPiece DecodePiece(std::string_view bytes, bool last, const FileKind& kind) {
  DecodedPiece piece;
  Result<std::u16string, TextPosition> decoded = Decode(bytes, kind.encoding);
  if (!decoded) {
    piece.failure = TextFailure::Invalid;
    piece.invalidAt = decoded.error();
    return piece;
  }
  // ICU's EUC-JP reads some codes as characters it writes with other codes. Where both
  // codes read as the character, writing puts the file's own back (by the codes the kind
  // noted), so the piece must read back with its own put back; any other such code would
  // change where nothing was converted. Written in EUC-JP with none noted, none is put back.
  if (kind.encoding == TextEncoding::EucJp) {
    const bool putBack = kind.Written() != kind.encoding || !kind.alternateCodes.empty();
    std::vector<std::size_t> alternateCodesAt;
    Result<std::string, Unencodable> again =
        Encode(*decoded, kind.encoding, putBack ? &alternateCodesAt : nullptr);
    if (again && !alternateCodesAt.empty()) {
      AlternateCodes::Restoration(AlternateCodes::Of(bytes, kind.encoding))
          .Restore(*again, alternateCodesAt);
    }
    if (!again || *again != bytes) {
      piece.failure = TextFailure::NotRoundTrip;
      return piece;
    }
  }
  piece.text = ForCommands(*std::move(decoded), kind.lineBreaks, last);
  return piece;
}

ConvertedPiece EncodePiece(CommandResult result, const FileKind& kind) {
  ConvertedPiece piece;
  const std::u16string text = ForFile(std::move(result.text), kind.lineBreaks);
  Result<std::string, Unencodable> encoded =
      Encode(text, kind.Written(), kind.alternateCodes.empty() ? nullptr : &piece.alternateCodesAt);
  if (!encoded) {
    piece.failure = TextFailure::Unencodable;
    piece.unencodableAt = encoded.error();
    return piece;
  }
  piece.bytes = *std::move(encoded);
  piece.count = result.count;
  piece.resultUnits = text.size();
  return piece;
}

namespace {

// Whether the command may take the piece's bytes as they are: UTF-8 read and written, and
// line breaks that pass as they are. A file of LF breaks alone has its last taken off, as
// the commands see it, and put back as it ends.
std::optional<std::string_view> AsUtf8(std::string_view bytes, bool last, const FileKind& kind,
                                       const FileCommand& command) {
  if (!command.runUtf8 || kind.encoding != TextEncoding::Utf8 ||
      kind.Written() != TextEncoding::Utf8)
    return std::nullopt;
  if (kind.lineBreaks == FileLineBreaks::Lf) {
    if (last && bytes.ends_with('\n')) bytes.remove_suffix(1);
  } else if (kind.lineBreaks != FileLineBreaks::AsTheyWere) {
    return std::nullopt;
  }
  // Faults are placed by decoding.
  if (!IsValidUtf8(bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

ConvertedPiece ConvertPiece(std::string_view bytes, bool last, const FileKind& kind,
                            const FileCommand& command) {
  if (const std::optional<std::string_view> utf8 = AsUtf8(bytes, last, kind, command)) {
    // UTF-8 holds any result, so no unit of one is ever placed.
    ConvertedPiece piece;
    piece.bytes = command.runUtf8(*utf8);
    return piece;
  }
  DecodedPiece decoded = DecodePiece(bytes, last, kind);
  if (decoded.failure != TextFailure::None) return FailedPiece(decoded);
  return EncodePiece(command.run(std::move(decoded.text)), kind);
}

namespace {

// Runs the command in the pieces' order, each piece's tail put before the next. A CR that
// ends a result waits for the next one too, as it may be the first half of a CR LF.
class InOrder {
 public:
  InOrder(const FileKind& kind, const FileCommand& command) : kind_(kind), command_(command) {}

  ConvertedPiece Convert(const DecodedPiece& decoded, bool last) {
    if (decoded.failure != TextFailure::None) return FailedPiece(decoded);
    std::u16string text = std::move(tail_) + decoded.text;
    tail_.clear();
    CommandResult result;
    if (last) {
      result = command_.run(std::move(text));
    } else {
      convert::ReplacedHead head = command_.runHead(text);
      tail_ = text.substr(head.tailStart);
      result = {std::move(head.text), head.count};
    }
    result.text.insert(0, cr_);
    cr_.clear();
    if (!last && result.text.ends_with(u'\r')) {
      result.text.pop_back();
      cr_ = u"\r";
    }
    return EncodePiece(std::move(result), kind_);
  }

 private:
  const FileKind& kind_;
  const FileCommand& command_;
  std::u16string tail_;
  std::u16string cr_;
};

}  // namespace

StreamOutcome StreamText(PieceReader& reader, WorkerPool& pool, const FileKind& kind,
                         const FileCommand& command, const WriteBytes& write,
                         const std::function<bool()>& waiting) {
  StreamOutcome outcome;
  if (kind.byteOrderMark) outcome.writeError = write(kUtf8ByteOrderMark);
  if (outcome.writeError) return outcome;
  AlternateCodes::Restoration restoration(kind.alternateCodes);
  InOrder inOrder(kind, command);
  std::size_t unitsBefore = 0;
  std::size_t linesBefore = 0;
  // The workers decode, convert and encode; or, for a command taken in order, decode only.
  struct Done {
    ConvertedPiece converted;
    DecodedPiece decoded;
    Piece piece;
    std::size_t lineBreaks = 0;
  };
  const auto jobFor = [&](Piece piece) -> std::function<Done()> {
    return [&kind, &command, piece = std::move(piece)]() mutable {
      Done done;
      if (command.runHead) {
        done.decoded = DecodePiece(piece.bytes, piece.last, kind);
      } else {
        done.converted = ConvertPiece(piece.bytes, piece.last, kind, command);
      }
      done.lineBreaks = CountLineBreaks(piece.bytes);
      piece.bytes = std::string();  // only its place is needed now
      done.piece = std::move(piece);
      return done;
    };
  };
  const auto commit = [&](Done& done) {
    const Piece& piece = done.piece;
    ConvertedPiece converted =
        command.runHead ? inOrder.Convert(done.decoded, piece.last) : std::move(done.converted);
    outcome.failure = converted.failure;
    if (converted.failure == TextFailure::Invalid) {
      const TextPosition& at = converted.invalidAt;
      outcome.invalidAt = {piece.offset + at.byte, linesBefore + at.line, at.column};
    }
    if (converted.failure == TextFailure::Unencodable)
      outcome.unencodableAt = {unitsBefore + converted.unencodableAt.unit};
    if (converted.failure != TextFailure::None) return false;
    unitsBefore += converted.resultUnits;
    linesBefore += done.lineBreaks;
    outcome.count += converted.count;
    restoration.Restore(converted.bytes, converted.alternateCodesAt);
    outcome.writeError = write(converted.bytes);
    if (!outcome.writeError && piece.last)
      outcome.writeError = write(FinalLineBreak(kind.lineBreaks));
    return !outcome.writeError;
  };
  const auto keepGoing = [&] {
    outcome.stopped = !waiting();
    return !outcome.stopped;
  };
  outcome.readError = StreamPieces<Done>(reader, pool, jobFor, commit, keepGoing);
  return outcome;
}

}  // namespace quobrel
