// A text converted piece by piece, the pieces on all cores and the result written in
// order: the same bytes as the whole text converted at once, in bounded memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion/file_commands.h"
#include "encoding/file_text.h"
#include "engine/conversions.h"
#include "stream/piece_stream.h"
#include "stream/worker_pool.h"

namespace quobrel {

struct ConvertedPiece {
  std::string bytes;
  std::size_t count = 0;
  std::size_t resultUnits = 0;
  std::vector<std::size_t> alternateCodesAt;  // when the kind has alternate codes to restore
  TextFailure failure = TextFailure::None;
  TextPosition invalidAt;     // Invalid: in the piece
  Unencodable unencodableAt;  // Unencodable: in the piece's result
};

// One piece of a text of `kind`, cut as PieceReader cuts.
[[nodiscard]] ConvertedPiece ConvertPiece(std::string_view bytes, bool last, const FileKind& kind,
                                          const FileCommand& command);

// ConvertPiece's two halves, around the command.
struct DecodedPiece {
  std::u16string text;
  TextFailure failure = TextFailure::None;  // Invalid or NotRoundTrip
  TextPosition invalidAt;                   // Invalid: in the piece
};
[[nodiscard]] DecodedPiece DecodePiece(std::string_view bytes, bool last, const FileKind& kind);
[[nodiscard]] ConvertedPiece EncodePiece(CommandResult result, const FileKind& kind);

struct StreamOutcome {
  TextFailure failure = TextFailure::None;  // Invalid, NotRoundTrip or Unencodable
  TextPosition invalidAt;                   // Invalid: in the input
  Unencodable unencodableAt;                // Unencodable: in the whole result
  std::size_t count = 0;
  std::error_code readError;
  std::error_code writeError;
  bool stopped = false;  // `waiting` said so
};

using WriteBytes = std::function<std::error_code(std::string_view bytes)>;

// Converts what `reader` reads and hands the bytes to `write` in order: the kind's
// byte-order mark first and its final line break last. Stops at the first failure;
// `waiting` is called while pieces are worked on and stops the stream by returning false.
[[nodiscard]] StreamOutcome StreamText(PieceReader& reader, WorkerPool& pool, const FileKind& kind,
                                       const FileCommand& command, const WriteBytes& write,
                                       const std::function<bool()>& waiting);

}  // namespace quobrel
