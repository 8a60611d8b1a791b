#include "stream/piece_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quobrel {

bool PieceReader::Fill(std::size_t size) {
  while (!atEnd_ && filled_ < size) {
    if (capacity_ - filled_ < kPieceSize) {
      capacity_ = std::max(2 * capacity_, filled_ + kPieceSize);
      auto larger = std::make_unique_for_overwrite<char[]>(capacity_);
      if (filled_ > 0) std::memcpy(larger.get(), buffer_.get(), filled_);
      buffer_ = std::move(larger);
    }
    ssize_t count;
    do {
      count = read_(buffer_.get() + filled_, kPieceSize);
    } while (count < 0 && errno == EINTR);
    if (count > 0) filled_ += static_cast<std::size_t>(count);
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
    if (!Fill(std::max(pieceSize_, filled_) + 1)) {
      done_ = true;
      return std::nullopt;
    }
    if (atEnd_) break;
    if (const std::size_t found = EndOfLastLineBreak(Read().substr(searched), false)) {
      cut = searched + found;
    }
    if (cut != 0 && cut < filled_) break;
    searched = filled_ - 1;  // a CR there is told by the byte after it
  }
  Piece piece;
  piece.offset = offset_;
  if (atEnd_) {
    cut = filled_;
    piece.last = true;
    done_ = true;
  }
  piece.bytes.assign(buffer_.get(), cut);
  filled_ -= cut;
  std::memmove(buffer_.get(), buffer_.get() + cut, filled_);
  offset_ += piece.bytes.size();
  return piece;
}

}  // namespace quobrel
