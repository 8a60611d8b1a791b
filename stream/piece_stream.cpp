#include "stream/piece_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quobrel {

std::size_t EndOfLastLineBreak(std::string_view bytes, bool atEnd) {
  for (std::size_t end = bytes.size(); end > 0; --end) {
    const char c = bytes[end - 1];
    // A CR whose next byte is known, and is no LF (that would have been found first).
    if (c == '\n' || (c == '\r' && (end < bytes.size() || atEnd))) return end;
  }
  return 0;
}

std::size_t CountLineBreaks(std::string_view bytes) {
  // Each LF, and each CR that no LF follows: sixteen bytes at a time, each beside the byte
  // after it, with a counter per lane emptied before it can overflow.
  using Block = std::uint8_t __attribute__((vector_size(16)));
  const std::size_t size = bytes.size();
  std::size_t breaks = 0;
  std::size_t i = 0;
  while (i + sizeof(Block) < size) {
    Block counters{};
    for (int round = 0; round < 255 && i + sizeof(Block) < size; ++round, i += sizeof(Block)) {
      Block b, next;
      std::memcpy(&b, bytes.data() + i, sizeof b);
      std::memcpy(&next, bytes.data() + i + 1, sizeof next);
      // A lane's comparison is all ones where it holds: subtracting it counts one.
      counters -=
          (b == std::uint8_t{'\n'}) | ((b == std::uint8_t{'\r'}) & (next != std::uint8_t{'\n'}));
    }
    for (std::size_t lane = 0; lane < sizeof(Block); ++lane) breaks += counters[lane];
  }
  for (; i < size; ++i) {
    breaks += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n'));
  }
  return breaks;
}

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
