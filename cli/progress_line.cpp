#include "cli/progress_line.h"

#include <cstdio>

namespace quobrel::cli {
namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedrawStep = std::chrono::milliseconds(250);
// Back to the line's start, and the rest of the line cleared.
constexpr const char* kReturn = "\r";
constexpr const char* kClearToEnd = "\x1b[K";

}  // namespace

void ProgressLine::Show(const BatchProgress& progress, Clock::time_point now) {
  if (now - start_ < kQuietStart || (shown_ && now - drawn_ < kRedrawStep)) return;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char line[96];
  std::snprintf(line, sizeof line, "%zu/%zu files, %.1f MB/s", progress.filesDone, progress.files,
                static_cast<double>(progress.bytesConverted) / 1e6 / seconds);
  std::string text = kReturn;
  text.append(line).append(kClearToEnd);
  write_(text);
  drawn_ = now;
  shown_ = true;
}

ProgressLine::~ProgressLine() {
  if (shown_) write_(std::string(kReturn).append(kClearToEnd));
}

}  // namespace quobrel::cli
