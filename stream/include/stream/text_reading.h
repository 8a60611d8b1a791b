// A text read from a file descriptor for a conversion: surveyed first for what the
// conversion must know, then converted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "encoding/file_text.h"
#include "stream/piece_stream.h"
#include "stream/text_stream.h"
#include "stream/worker_pool.h"

namespace quobrel {

// Reads `fd` from `offset` on, up to `end`, leaving its own offset alone.
ReadBytes ReaderAt(int fd, std::uint64_t offset, std::uint64_t end = UINT64_MAX);

struct SurveyedText {
  FileKind kind;
  std::size_t textStart = 0;  // after a byte-order mark
  std::uint64_t end = 0;      // of what was read
  FileSurvey::Outcome outcome;
  std::error_code readError;
  bool stopped = false;  // `keepGoing` said so
};

// Reads the text through once, its pieces on the pool's threads.
[[nodiscard]] SurveyedText SurveyText(int fd, const FileFormat& format, WorkerPool& pool,
                                      const std::function<bool()>& keepGoing);

}  // namespace quobrel
