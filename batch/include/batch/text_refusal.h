// Why a text read for a conversion is not converted, found by the survey or the stream.
#pragma once

#include <optional>
#include <system_error>
#include <vector>

#include "batch/file_batch.h"
#include "batch/file_status.h"
#include "files/reason.h"
#include "stream/text_reading.h"
#include "stream/text_stream.h"

namespace quobrel {

// Why a text is not converted: its status and the reason.
struct TextRefusal {
  FileStatus status;
  std::vector<TextEncoding> candidates;  // Undecided: the encodings in question
  Reason reason;
  std::error_code error = {};
  bool encodingUndetected = false;

  // The report of a file refused so.
  FileReport Report() const;
};

[[nodiscard]] std::optional<TextRefusal> SurveyRefusal(const SurveyedText& surveyed);
[[nodiscard]] std::optional<TextRefusal> StreamRefusal(const StreamOutcome& streamed,
                                                       const SurveyedText& surveyed);

}  // namespace quobrel
