// Long input in pieces: cut just after line breaks, worked on by a pool's threads and
// handed back in order, so that memory stays bounded whatever the input's length. No
// conversion looks across a line break, and the byte of a line feed or a carriage return
// is never part of another character in the encodings read here.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "encoding/text_lines.h"
#include "stream/worker_pool.h"

namespace quobrel {

struct Piece {
  std::string bytes;
  std::size_t offset = 0;  // of the first byte in the input
  bool last = false;       // the input ends with this piece
};

// Like read(2): the bytes read into `buffer`, 0 at the end, or -1 with errno set.
using ReadBytes = std::function<ssize_t(char* buffer, std::size_t size)>;

// Reads input into pieces of about `pieceSize` bytes, each ending after a line break,
// but for the last; a line longer than that makes a longer piece.
class PieceReader {
 public:
  // Small enough for a piece to stay in a core's cache while it is decoded, converted and
  // encoded (measured: 128 KB beat 64 KB, 512 KB and 1 MB).
  static constexpr std::size_t kPieceSize = std::size_t{1} << 17;

  explicit PieceReader(ReadBytes read, std::size_t pieceSize = kPieceSize)
      : read_(std::move(read)), pieceSize_(pieceSize) {}

  // The next piece; after the last, or after a read error, nothing.
  [[nodiscard]] std::optional<Piece> Next();
  const std::error_code& error() const { return error_; }

 private:
  // Reads on to at least `size` bytes, or the end.
  bool Fill(std::size_t size);

  std::string_view Read() const { return {buffer_.get(), filled_}; }

  ReadBytes read_;
  std::size_t pieceSize_;
  // Read but not yet handed out; not cleared before reading into it, as a string would be.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t filled_ = 0;
  std::size_t offset_ = 0;
  bool atEnd_ = false;
  bool done_ = false;
  std::error_code error_;
};

// Runs the job `jobFor` makes of each piece (on this thread, as the piece is cut) on the
// pool's threads, a few pieces ahead, and hands each result to `commit` on this thread in
// the input's order, calling `waiting` meanwhile at least every `kWaitStep`. Stops early
// when `commit` or `waiting` returns false. Returns the read error.
inline constexpr std::chrono::milliseconds kWaitStep{20};

template <class Result>
[[nodiscard]] std::error_code StreamPieces(
    PieceReader& reader, WorkerPool& pool,
    const std::function<std::function<Result()>(Piece)>& jobFor,
    const std::function<bool(Result&)>& commit, const std::function<bool()>& waiting) {
  // Enough to keep every thread busy while the next piece is read and the first written.
  const std::size_t ahead = pool.size() + 2;
  std::deque<std::future<Result>> inFlight;
  // Also when the pieces come back as fast as they are handed out.
  auto lastWaited = std::chrono::steady_clock::now();
  auto wait = [&] {
    lastWaited = std::chrono::steady_clock::now();
    return waiting();
  };
  bool reading = true;
  for (bool going = true; going;) {
    while (reading && inFlight.size() < ahead) {
      std::optional<Piece> piece = reader.Next();
      if (!piece) {
        reading = false;
        break;
      }
      inFlight.push_back(pool.Submit(jobFor(std::move(*piece))));
    }
    if (inFlight.empty()) break;
    while (going && inFlight.front().wait_for(kWaitStep) != std::future_status::ready)
      going = wait();
    if (!going) break;
    Result result = inFlight.front().get();
    inFlight.pop_front();
    going = commit(result) && (std::chrono::steady_clock::now() - lastWaited < kWaitStep || wait());
  }
  // The jobs still running may use what the caller holds: they finish first.
  for (std::future<Result>& job : inFlight) job.wait();
  return reader.error();
}

}  // namespace quobrel
