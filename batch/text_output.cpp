#include "batch/text_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "batch/posix_file.h"
#include "batch/text_reading.h"

namespace quobrel {
namespace {

// An unnamed file in the temporary folder, gone when closed.
FileDescriptor UnnamedTemporaryFile() {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  return FileDescriptor(::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
}

// What `fd` has left, copied to an unnamed temporary file, a piece at a time.
FileDescriptor KeptAside(int fd, const std::function<bool()>& keepGoing, std::error_code& error) {
  FileDescriptor copy = UnnamedTemporaryFile();
  if (!copy) {
    error = LastError();
    return copy;
  }
  std::string piece(std::size_t{1} << 20, '\0');
  for (;;) {
    const ssize_t got = RetryOnInterrupt([&] { return ::read(fd, piece.data(), piece.size()); });
    if (got == 0) return copy;
    if (got < 0) error = LastError();
    if (!error) error = WriteAll(copy.get(), {piece.data(), static_cast<std::size_t>(got)});
    if (error || !keepGoing()) return FileDescriptor();
  }
}

FileReport Refused(const TextRefusal& refusal, std::optional<TextEncoding> encoding) {
  return {FileOutcome::Failed, refusal.reason, refusal.error, encoding, std::nullopt};
}

}  // namespace

FileReport ConvertToOutput(int fd, const OutputRun& run, WorkerPool& pool, const WriteBytes& write,
                           const std::function<bool()>& keepGoing) {
  bool stopped = false;
  const std::function<bool()> going = [&] { return !(stopped = stopped || !keepGoing()); };
  const bool surveyed = run.surveyed || !run.format.encoding ||
                        run.format.lineBreaks == LineBreakRule::Lines ||
                        *run.format.encoding == TextEncoding::Cp932;
  SurveyedText text;
  FileDescriptor copy;
  struct stat status {};
  if (surveyed && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
    // A pipe is read once: what the survey reads is kept for the conversion.
    std::error_code error;
    copy = KeptAside(fd, going, error);
    if (stopped) return {FileOutcome::Cancelled, {English("stopped")}, {}};
    if (!copy)
      return {FileOutcome::Failed,
              {English("cannot keep the text aside: {}"), {ReasonOf(error).Text()}},
              error};
    fd = copy.get();
  }
  if (surveyed) {
    text = SurveyText(fd, run.format, pool, going);
    if (stopped) return {FileOutcome::Cancelled, {English("stopped")}, {}};
    if (std::optional<TextRefusal> refusal = SurveyRefusal(text))
      return Refused(*refusal, std::nullopt);
  } else {
    // Nothing to find first: the text as the format says it is.
    FileSurvey({run.format}).Finish(text.kind);
  }
  const ReadBytes readOn = [fd](char* buffer, std::size_t size) {
    return RetryOnInterrupt([&] { return ::read(fd, buffer, size); });
  };
  PieceReader reader(surveyed ? ReaderAt(fd, text.textStart) : readOn);
  const StreamOutcome streamed = StreamText(reader, pool, text.kind, run.command, write, going);
  if (stopped) return {FileOutcome::Cancelled, {English("stopped")}, {}};
  if (std::optional<TextRefusal> refusal = StreamRefusal(streamed, text))
    return Refused(*refusal, text.kind.encoding);
  if (streamed.writeError) {
    return {FileOutcome::Failed,
            {English("cannot write standard output: {}"), {ReasonOf(streamed.writeError).Text()}},
            streamed.writeError};
  }
  return {FileOutcome::Converted, {}, {}, text.kind.encoding, streamed.count};
}

}  // namespace quobrel
