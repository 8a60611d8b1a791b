#include "batch/text_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "batch/text_refusal.h"
#include "files/file_errors.h"
#include "files/posix_file.h"
#include "files/system_calls.h"

namespace quobrel {
namespace {

// An unnamed file in the temporary folder, gone when closed; named for a moment only where
// the file system cannot make it unnamed.
FileDescriptor TemporaryFile() {
  const char* asked = std::getenv("TMPDIR");
  for (const char* folder : {asked != nullptr && *asked != '\0' ? asked : "/tmp", "/tmp"}) {
    FileDescriptor unnamed(::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (unnamed) return unnamed;
    std::string name = std::string(folder) + "/quobrel-XXXXXX";
    FileDescriptor named(::mkostemp(name.data(), O_CLOEXEC));
    if (!named) continue;
    ::unlink(name.c_str());
    return named;
  }
  return FileDescriptor();
}

// What `fd` has left, copied to a temporary file a piece at a time; with `binaryRefused`,
// only up to the first NUL byte, which makes it binary.
FileDescriptor KeptAside(int fd, bool binaryRefused, std::error_code& error) {
  FileDescriptor copy = TemporaryFile();
  if (!copy) {
    error = LastError();
    return copy;
  }
  std::string piece(std::size_t{1} << 20, '\0');
  for (;;) {
    const ssize_t got =
        RetryOnInterrupt([&] { return Sys().read(fd, piece.data(), piece.size()); });
    if (got == 0) return copy;
    if (got < 0) error = LastError();
    if (!error && binaryRefused && std::memchr(piece.data(), '\0', static_cast<std::size_t>(got)))
      error = FileError::Binary;
    if (!error) error = WriteAll(copy.get(), {piece.data(), static_cast<std::size_t>(got)});
    if (error) return FileDescriptor();
  }
}

// Reads on from `fd`'s offset, the bytes already taken from it first.
ReadBytes ReaderAfter(int fd, std::string taken) {
  return [fd, taken = std::move(taken)](char* buffer, std::size_t size) mutable -> ssize_t {
    if (taken.empty()) return RetryOnInterrupt([&] { return Sys().read(fd, buffer, size); });
    const std::size_t count = taken.copy(buffer, size);
    taken.erase(0, count);
    return static_cast<ssize_t>(count);
  };
}

// The first bytes of what `fd` has left, as many as a byte-order mark has where there are.
std::string FirstBytes(int fd, std::error_code& error) {
  std::string first(kUtf8ByteOrderMark.size(), '\0');
  std::size_t got = 0;
  while (got < first.size()) {
    const ssize_t count =
        RetryOnInterrupt([&] { return Sys().read(fd, first.data() + got, first.size() - got); });
    if (count < 0) error = LastError();
    if (count <= 0) break;
    got += static_cast<std::size_t>(count);
  }
  first.resize(got);
  return first;
}

FileReport Failed(Reason reason, const std::error_code& error = {}) {
  return {FileOutcome::Failed, std::move(reason), error};
}

}  // namespace

Result<SurveyedInput, FileReport> SurveyInput(int fd, const FileFormat& format, bool binaryRefused,
                                              WorkerPool& pool) {
  SurveyedInput input;
  struct stat status {};
  // A pipe is read once, and a file read on from where it was left is read from there:
  // what the survey reads is kept for the conversion.
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::lseek(fd, 0, SEEK_CUR) != 0) {
    std::error_code error;
    input.copy = KeptAside(fd, binaryRefused, error);
    if (error == FileError::Binary) return Failure(Failed(ReasonOf(error), error));
    if (!input.copy) {
      return Failure(Failed({English("cannot keep the text aside: {}"), {}, error}, error));
    }
  }
  input.from = input.copy ? input.copy.get() : fd;
  input.text = SurveyText(input.from, format, pool, [] { return true; });
  return input;
}

FileReport ConvertToOutput(int fd, const OutputRun& run, WorkerPool& pool,
                           const WriteBytes& write) {
  // Whatever the survey would look for but NUL bytes asks for it.
  const FileSurvey::Plan plan = FileSurvey(run.format).NextPlan();
  const bool surveyed =
      run.surveyed || !plan.readers.empty() || plan.lineBreaks || !plan.alternateCodes.empty();
  const auto going = [] { return true; };
  SurveyedText text;
  ReadBytes read;
  if (surveyed) {
    Result<SurveyedInput, FileReport> input = SurveyInput(fd, run.format, run.surveyed, pool);
    if (!input) return input.error();
    text = std::move(input->text);
    if (std::optional<TextRefusal> refusal = SurveyRefusal(text)) return refusal->Report();
    // What is added to the file meanwhile, by this very output perhaps, is not read.
    const int from = input->from;
    read = [copy = std::make_shared<FileDescriptor>(std::move(input->copy)),
            at = ReaderAt(from, text.textStart, text.end)](char* buffer, std::size_t size) {
      return at(buffer, size);
    };
    if (from == fd) ::lseek(fd, static_cast<off_t>(text.end), SEEK_SET);
  } else {
    // Nothing to find first: the text as the format says it is, after a byte-order mark.
    std::error_code error;
    std::string first = FirstBytes(fd, error);
    if (error) return Failed({English("cannot read: {}"), {}, error}, error);
    FileSurvey survey(run.format);
    text.textStart = survey.TakeByteOrderMark(first);
    first.erase(0, text.textStart);
    text.outcome = survey.Finish(text.kind);
    read = ReaderAfter(fd, std::move(first));
  }
  PieceReader reader(std::move(read));
  const StreamOutcome streamed = StreamText(reader, pool, text.kind, run.command, write, going);
  if (std::optional<TextRefusal> refusal = StreamRefusal(streamed, text)) return refusal->Report();
  if (streamed.writeError) {
    return Failed({English("cannot write standard output: {}"), {}, streamed.writeError},
                  streamed.writeError);
  }
  return {FileOutcome::Converted, {}, {}};
}

}  // namespace quobrel
