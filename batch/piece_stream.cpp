#include "batch/piece_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace quobrel {

std::size_t EndOfLastLineBreak(std::string_view bytes, bool atEnd) {
  for (std::size_t end = bytes.size(); end > 0; --end) {
    const char c = bytes[end - 1];
    // A CR whose next byte is known, and is no LF (that would have been found first).
    if (c == '\n' || (c == '\r' && (end < bytes.size() || atEnd))) return end;
  }
  return 0;
}

bool PieceReader::Fill(std::size_t size) {
  while (!atEnd_ && buffer_.size() < size) {
    const std::size_t before = buffer_.size();
    buffer_.resize(before + kPieceSize);
    ssize_t count;
    do {
      count = read_(buffer_.data() + before, kPieceSize);
    } while (count < 0 && errno == EINTR);
    buffer_.resize(before + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    if (count < 0) {
      error_ = std::error_code(errno, std::generic_category());
      return false;
    }
    atEnd_ = count == 0;
  }
  return true;
}

std::optional<Piece> PieceReader::Next() {
  if (done_) return std::nullopt;
  // A piece never ends where the bytes read so far end, so that the last piece is known
  // to be the last: at least one byte more is read than the piece takes.
  std::size_t cut = 0;
  std::size_t searched = 0;
  for (;;) {
    const std::size_t want = pieceSize_ == 0 ? SIZE_MAX : std::max(pieceSize_, buffer_.size()) + 1;
    if (!Fill(want)) {
      done_ = true;
      return std::nullopt;
    }
    if (atEnd_) break;
    if (const std::size_t found =
            EndOfLastLineBreak(std::string_view(buffer_).substr(searched), false)) {
      cut = searched + found;
    }
    if (cut != 0 && cut < buffer_.size()) break;
    searched = buffer_.size() - 1;  // a CR there is told by the byte after it
  }
  Piece piece;
  piece.offset = offset_;
  if (atEnd_) {
    piece.bytes = std::move(buffer_);
    piece.last = true;
    done_ = true;
  } else {
    piece.bytes.assign(buffer_, 0, cut);
    buffer_.erase(0, cut);
  }
  offset_ += piece.bytes.size();
  return piece;
}

}  // namespace quobrel
