// Why a text read for a conversion is not converted, found by the survey or the stream.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "files/reason.h"
#include "stream/text_reading.h"
#include "stream/text_stream.h"

namespace quobrel {

// Why a text is not converted: its status line's words and the reason.
struct TextRefusal {
  std::u16string_view status;
  std::u16string detail;  // put after the status: the encodings in question
  Reason reason;
  std::error_code error;
};

std::optional<TextRefusal> SurveyRefusal(const SurveyedText& surveyed);
std::optional<TextRefusal> StreamRefusal(const StreamOutcome& streamed,
                                         const SurveyedText& surveyed);

}  // namespace quobrel
