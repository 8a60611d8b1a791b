// A batch's progress on one line of a terminal, for a batch that takes a while: files done
// of all, and the pace. It is drawn over itself and wiped at the end.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "batch/file_batch.h"

namespace quobrel::cli {

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;
  // Writes to the terminal `write` stands for, from `start` on.
  using Write = std::function<void(const std::string& text)>;
  ProgressLine(Write write, Clock::time_point start) : write_(std::move(write)), start_(start) {}
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Drawn once the batch has run a second, at most a few times a second.
  void Show(const BatchProgress& progress, Clock::time_point now);

 private:
  Write write_;
  Clock::time_point start_;
  Clock::time_point drawn_;
  bool shown_ = false;
};

}  // namespace quobrel::cli
