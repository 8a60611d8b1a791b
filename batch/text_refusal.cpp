#include "batch/text_refusal.h"

#include <iterator>

#include "files/file_errors.h"

namespace quobrel {
namespace {

std::vector<std::string> EachName(const std::vector<TextEncoding>& encodings) {
  std::vector<std::string> names;
  names.reserve(encodings.size());
  for (TextEncoding encoding : encodings) names.emplace_back(EncodingName(encoding));
  return names;
}

TextRefusal InvalidIn(const std::vector<TextEncoding>& encodings) {
  return {FileStatus::InvalidBytes,
          {},
          {encodings.size() == 1 ? English("not valid {}") : English("not valid {}, {} or {}"),
           EachName(encodings)},
          {},
          true};
}

TextRefusal CannotRead(const std::error_code& error) {
  return {FileStatus::CannotRead, {}, ReasonOf(error), error};
}

}  // namespace

FileReport TextRefusal::Report() const {
  FileReport report{FileOutcome::Failed, reason, error};
  report.encodingUndetected = encodingUndetected;
  return report;
}

std::optional<TextRefusal> SurveyRefusal(const SurveyedText& surveyed) {
  if (surveyed.readError) return CannotRead(surveyed.readError);
  // Bytes read in the wrong encoding would come back as other characters: such a text is
  // left alone.
  const FileSurvey::Outcome& outcome = surveyed.outcome;
  switch (outcome.failure) {
    case TextFailure::Binary: {
      const std::error_code binary = FileError::Binary;
      return TextRefusal{FileStatus::Binary, {}, ReasonOf(binary), binary};
    }
    case TextFailure::Invalid:
      return InvalidIn(outcome.encodings);
    case TextFailure::Undecided:
      return TextRefusal{
          FileStatus::Undecided,
          outcome.encodings,
          {outcome.encodings.size() == 2 ? English("cannot tell whether it is {} or {}")
                                         : English("cannot tell whether it is {}, {} or {}"),
           EachName(outcome.encodings)},
          {},
          true};
    default:
      return std::nullopt;
  }
}

std::optional<TextRefusal> StreamRefusal(const StreamOutcome& streamed,
                                         const SurveyedText& surveyed) {
  if (streamed.readError) return CannotRead(streamed.readError);
  const FileKind& kind = surveyed.kind;
  switch (streamed.failure) {
    case TextFailure::Invalid:
      // Told apart, the text was found to be in none of the encodings after all.
      if (surveyed.outcome.detected)
        return InvalidIn({std::begin(kAllEncodings), std::end(kAllEncodings)});
      return TextRefusal{
          FileStatus::InvalidBytes,
          {},
          {English("not valid {} (line {}, column {}, byte {})"),
           {std::string(EncodingName(kind.encoding)), std::to_string(streamed.invalidAt.line),
            std::to_string(streamed.invalidAt.column),
            std::to_string(surveyed.textStart + streamed.invalidAt.byte)}},
          {}};
    case TextFailure::NotRoundTrip:
      return TextRefusal{FileStatus::NotRoundTrip,
                         {},
                         {English("has {} codes that would be written back otherwise"),
                          {std::string(EncodingName(kind.encoding))}},
                         {}};
    case TextFailure::Unencodable:
      return TextRefusal{FileStatus::Unencodable,
                         {},
                         {English("the result has a character {} cannot hold (character {})"),
                          {std::string(EncodingName(kind.Written())),
                           std::to_string(streamed.unencodableAt.unit + 1)}},
                         {}};
    default:
      return std::nullopt;
  }
}

}  // namespace quobrel
