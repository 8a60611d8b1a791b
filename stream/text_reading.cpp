#include "stream/text_reading.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>

#include "files/posix_file.h"
#include "files/system_calls.h"

namespace quobrel {
ReadBytes ReaderAt(int fd, std::uint64_t offset, std::uint64_t end) {
  return [fd, offset, end](char* buffer, std::size_t size) mutable {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - std::min(offset, end)));
    const ssize_t count = RetryOnInterrupt(
        [&] { return size == 0 ? 0 : Sys().pread(fd, buffer, size, static_cast<off_t>(offset)); });
    if (count > 0) offset += static_cast<std::uint64_t>(count);
    return count;
  };
}

SurveyedText SurveyText(int fd, const FileFormat& format, WorkerPool& pool,
                        const std::function<bool()>& keepGoing) {
  SurveyedText surveyed;
  FileSurvey survey(format);
  char first[kUtf8ByteOrderMark.size()];
  const ssize_t got = RetryOnInterrupt([&] { return Sys().pread(fd, first, sizeof first, 0); });
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

}  // namespace quobrel
