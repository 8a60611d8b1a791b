#include "cli/piecewise_filter.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace quobrel::cli {
namespace {

// Small enough to stay in the cores' caches while it is decoded, filtered and encoded.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

std::vector<std::size_t> CutsAfterLineFeeds(std::string_view input) {
  std::vector<std::size_t> cuts{0};
  while (input.size() - cuts.back() > kPieceBytes) {
    const std::size_t lineFeed = input.find('\n', cuts.back() + kPieceBytes);
    if (lineFeed == std::string_view::npos || lineFeed + 1 == input.size()) break;
    cuts.push_back(lineFeed + 1);
  }
  cuts.push_back(input.size());
  return cuts;
}

struct Piece {
  std::string bytes;
  std::size_t resultLength = 0;
  std::optional<std::size_t> invalidByteAt;
  std::optional<std::size_t> unencodableAt;
};

Piece FilterPiece(std::string_view input, TextEncoding encoding, const TextFilter& filter) {
  Piece piece;
  DecodedText decoded = Decode(input, encoding);
  if (decoded.invalidByteAt) {
    piece.invalidByteAt = decoded.invalidByteAt;
    return piece;
  }
  const std::u16string result = filter(std::move(decoded.text));
  EncodedText encoded = Encode(result, encoding);
  piece.resultLength = result.size();
  piece.unencodableAt = encoded.unencodableAt;
  piece.bytes = std::move(encoded.bytes);
  return piece;
}

}  // namespace

FilteredText FilterInPieces(std::string_view input, TextEncoding encoding, bool mayCut,
                            const TextFilter& filter) {
  const std::vector<std::size_t> cuts =
      mayCut ? CutsAfterLineFeeds(input) : std::vector<std::size_t>{0, input.size()};
  std::vector<Piece> pieces(cuts.size() - 1);
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i; (i = next++) < pieces.size();) {
      pieces[i] = FilterPiece(input.substr(cuts[i], cuts[i + 1] - cuts[i]), encoding, filter);
    }
  };
  {
    const std::size_t threads =
        std::min<std::size_t>(pieces.size(), std::thread::hardware_concurrency());
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(worker);
    worker();
  }

  // As for the whole text: bad input first, then a result that cannot be encoded.
  FilteredText filtered;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].invalidByteAt) {
      filtered.invalidByteAt = cuts[i] + *pieces[i].invalidByteAt;
      return filtered;
    }
  }
  std::size_t resultBefore = 0;
  for (Piece& piece : pieces) {
    if (piece.unencodableAt) {
      filtered.unencodableAt = resultBefore + *piece.unencodableAt;
      filtered.pieces.clear();
      return filtered;
    }
    resultBefore += piece.resultLength;
    filtered.pieces.push_back(std::move(piece.bytes));
  }
  return filtered;
}

}  // namespace quobrel::cli
