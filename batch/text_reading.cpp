#include "batch/text_reading.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>

#include "batch/file_errors.h"
#include "batch/posix_file.h"
#include "batch/status_messages.h"

namespace quobrel {
namespace {

std::vector<std::string> EachName(const std::vector<TextEncoding>& encodings) {
  std::vector<std::string> names;
  names.reserve(encodings.size());
  for (TextEncoding encoding : encodings) names.emplace_back(EncodingName(encoding));
  return names;
}

TextRefusal InvalidIn(const std::vector<TextEncoding>& encodings) {
  return {
      status::kInvalidBytes,
      {},
      {encodings.size() == 1 ? English("not valid {}; name the encoding with --encoding")
                             : English("not valid {}, {} or {}; name the encoding with --encoding"),
       EachName(encodings)},
      {}};
}

TextRefusal CannotRead(const std::error_code& error) {
  return {status::kCannotRead, {}, ReasonOf(error), error};
}

}  // namespace

ReadBytes ReaderAt(int fd, std::uint64_t offset, std::uint64_t end) {
  return [fd, offset, end](char* buffer, std::size_t size) mutable {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - std::min(offset, end)));
    const ssize_t count = RetryOnInterrupt(
        [&] { return size == 0 ? 0 : ::pread(fd, buffer, size, static_cast<off_t>(offset)); });
    if (count > 0) offset += static_cast<std::uint64_t>(count);
    return count;
  };
}

SurveyedText SurveyText(int fd, const FileFormat& format, WorkerPool& pool,
                        const std::function<bool()>& keepGoing) {
  SurveyedText surveyed;
  FileSurvey survey(format);
  char first[kUtf8ByteOrderMark.size()];
  const ssize_t got = RetryOnInterrupt([&] { return ::pread(fd, first, sizeof first, 0); });
  if (got < 0) {
    surveyed.readError = LastError();
    return surveyed;
  }
  surveyed.textStart =
      survey.TakeByteOrderMark(std::string_view(first, static_cast<std::size_t>(got)));
  surveyed.end = surveyed.textStart;
  if (survey.NextPlan().Any()) {
    PieceReader reader(
        [&surveyed, read = ReaderAt(fd, surveyed.textStart)](char* buffer, std::size_t size) {
          const ssize_t count = read(buffer, size);
          if (count > 0) surveyed.end += static_cast<std::uint64_t>(count);
          return count;
        });
    const std::function<std::function<FileSurvey::Notes()>(Piece)> jobFor = [&survey](Piece piece) {
      return [piece = std::move(piece), plan = survey.NextPlan()] {
        return FileSurvey::Look(piece.bytes, plan);
      };
    };
    const std::function<bool(FileSurvey::Notes&)> add = [&survey](FileSurvey::Notes& notes) {
      survey.Add(notes);
      return survey.NextPlan().Any();
    };
    const std::function<bool()> waiting = [&] { return !(surveyed.stopped = !keepGoing()); };
    surveyed.readError = StreamPieces(reader, pool, jobFor, add, waiting);
    if (surveyed.stopped || surveyed.readError) return surveyed;
  }
  surveyed.outcome = survey.Finish(surveyed.kind);
  return surveyed;
}

std::optional<TextRefusal> SurveyRefusal(const SurveyedText& surveyed) {
  if (surveyed.readError) return CannotRead(surveyed.readError);
  // Bytes read in the wrong encoding would come back as other characters: such a text is
  // left alone.
  const FileSurvey::Outcome& outcome = surveyed.outcome;
  switch (outcome.failure) {
    case TextFailure::Binary: {
      const std::error_code binary = FileError::Binary;
      return TextRefusal{status::kBinary, {}, ReasonOf(binary), binary};
    }
    case TextFailure::Invalid:
      return InvalidIn(outcome.encodings);
    case TextFailure::Undecided: {
      // The status line names them as the window does: "(UTF-8, Shift_JIS)".
      std::u16string detail;
      for (const std::string& name : EachName(outcome.encodings))
        detail.append(detail.empty() ? u"(" : u", ").append(name.begin(), name.end());  // ASCII
      detail.push_back(u')');
      return TextRefusal{
          status::kUndecided,
          std::move(detail),
          {outcome.encodings.size() == 2
               ? English("cannot tell whether it is {} or {}; name the encoding with --encoding")
               : English("cannot tell whether it is {}, {} or {}; name the encoding with "
                         "--encoding"),
           EachName(outcome.encodings)},
          {}};
    }
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
          status::kInvalidBytes,
          {},
          {English("not valid {} (line {}, column {}, byte {})"),
           {std::string(EncodingName(kind.encoding)), std::to_string(streamed.invalidAt.line),
            std::to_string(streamed.invalidAt.column),
            std::to_string(surveyed.textStart + streamed.failedAt)}},
          {}};
    case TextFailure::NotRoundTrip:
      return TextRefusal{status::kNotRoundTrip,
                         {},
                         {English("has {} codes that would be written back otherwise"),
                          {std::string(EncodingName(kind.encoding))}},
                         {}};
    case TextFailure::Unencodable:
      return TextRefusal{
          status::kUnencodable,
          {},
          {English("the result has a character {} cannot hold (character {})"),
           {std::string(EncodingName(kind.Written())), std::to_string(streamed.failedAt + 1)}},
          {}};
    default:
      return std::nullopt;
  }
}

}  // namespace quobrel
