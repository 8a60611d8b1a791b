#include "cli/guess_mode.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/json_lines.h"
#include "cli/messages.h"
#include "cli/translation.h"
#include "encoding/file_text.h"
#include "files/file_names.h"
#include "files/posix_file.h"
#include "files/reason.h"
#include "files/system_calls.h"
#include "stream/text_reading.h"
#include "stream/worker_pool.h"
#include "support/result.h"

namespace quobrel::cli {
namespace {

// What a text is, in the words the command answers with.
struct Verdict {
  std::string_view encoding;  // an encoding's name, "UTF-8 (BOM)", "ASCII", "undecided", "binary"
  std::vector<TextEncoding> candidates;  // undecided: those that read it
  bool told = false;                     // one encoding, or ASCII that all read alike
};

Verdict Told(std::string_view encoding) { return {encoding, {}, true}; }

// What `fd` has left, copied into memory, where the survey can read it at offsets as it does
// a file: a pipe cannot be read twice. Up to the first NUL byte, which makes it binary
// whatever follows, so that a device that never ends (/dev/zero) does too.
Result<FileDescriptor, Reason> KeptAside(int fd) {
  FileDescriptor copy(::memfd_create("quobrel-cli guess", MFD_CLOEXEC));
  if (!copy) return Failure(Reason{English("cannot keep the text aside: {}"), {}, LastError()});
  std::string piece(std::size_t{1} << 20, '\0');
  for (;;) {
    const ssize_t got =
        RetryOnInterrupt([&] { return Sys().read(fd, piece.data(), piece.size()); });
    if (got < 0) return Failure(ReasonOf(LastError()));
    const std::string_view bytes(piece.data(), static_cast<std::size_t>(got));
    if (const std::error_code error = WriteAll(copy.get(), bytes))
      return Failure(Reason{English("cannot keep the text aside: {}"), {}, error});
    if (bytes.empty() || bytes.find('\0') != std::string_view::npos) return copy;
  }
}

// Whether the bytes from `start` to `end` are all ASCII; read only up to the first that is not.
Result<bool> AsciiOnly(int fd, std::uint64_t start, std::uint64_t end) {
  const ReadBytes read = ReaderAt(fd, start, end);
  std::string piece(std::size_t{1} << 16, '\0');
  for (;;) {
    const ssize_t got = read(piece.data(), piece.size());
    if (got < 0) return Failure(LastError());
    if (got == 0) return true;
    if (std::any_of(piece.begin(), piece.begin() + got,
                    [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; }))
      return false;
  }
}

// The text `fd` holds from its offset on, read through as convert reads a file before it
// converts it.
Result<Verdict, Reason> Guess(int fd, WorkerPool& pool) {
  struct stat status {};
  FileDescriptor copy;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::lseek(fd, 0, SEEK_CUR) != 0) {
    Result<FileDescriptor, Reason> kept = KeptAside(fd);
    if (!kept) return Failure(kept.error());
    copy = *std::move(kept);
  }
  const int from = copy ? copy.get() : fd;
  // The survey gives a text of ASCII only the encoding named for it here: EUC-JP, the rarest
  // of the three, whose texts alone are then looked at again for a byte beyond ASCII.
  const FileFormat format{std::nullopt, TextEncoding::EucJp, LineBreakRule::Keep};
  const SurveyedText surveyed = SurveyText(from, format, pool, [] { return true; });
  if (surveyed.readError) return Failure(ReasonOf(surveyed.readError));
  const FileSurvey::Outcome& outcome = surveyed.outcome;
  switch (outcome.failure) {
    case TextFailure::None:
      break;
    case TextFailure::Undecided: {
      Verdict undecided{"undecided", {}, false};
      for (const TextEncoding encoding : kAllEncodings) {
        if (std::find(outcome.encodings.begin(), outcome.encodings.end(), encoding) !=
            outcome.encodings.end())
          undecided.candidates.push_back(encoding);
      }
      return undecided;
    }
    default:  // NUL bytes, or no encoding reads it
      return Verdict{"binary", {}, false};
  }
  if (surveyed.kind.byteOrderMark) return Told("UTF-8 (BOM)");
  if (surveyed.kind.encoding == TextEncoding::EucJp) {
    const Result<bool> ascii = AsciiOnly(from, surveyed.textStart, surveyed.end);
    if (!ascii) return Failure(ReasonOf(ascii.error()));
    if (*ascii) return Told("ASCII");
  }
  return Told(EncodingName(surveyed.kind.encoding));
}

// A named file opened as convert opens it for standard output: only to read.
Result<Verdict, Reason> GuessFile(const std::string& input, WorkerPool& pool) {
  if (input == "-") return Guess(STDIN_FILENO, pool);
  const FileDescriptor opened(RetryOnInterrupt(
      [&] { return Sys().openat(AT_FDCWD, input.c_str(), O_RDONLY | O_CLOEXEC, 0); }));
  struct stat status {};
  if (opened && ::fstat(opened.get(), &status) == 0 && S_ISDIR(status.st_mode)) errno = EISDIR;
  if (!opened || S_ISDIR(status.st_mode)) return Failure(ReasonOf(LastError()));
  return Guess(opened.get(), pool);
}

std::string Line(const std::string& input, const Verdict& verdict) {
  std::string line = PrintableName(input) + ": " + std::string(verdict.encoding);
  for (std::size_t i = 0; i < verdict.candidates.size(); ++i)
    line += (i == 0 ? " (" : ", ") + std::string(EncodingName(verdict.candidates[i]));
  return verdict.candidates.empty() ? line : line + ")";
}

// {"path": …, "encoding": …, "candidates": […]}, the last only when undecided.
std::string Object(const std::string& input, const Verdict& verdict) {
  std::string json = "{\"path\": " + JsonString(input) + ", \"encoding\": \"" +
                     std::string(verdict.encoding) + "\"";
  for (std::size_t i = 0; i < verdict.candidates.size(); ++i) {
    json += (i == 0 ? ", \"candidates\": [\"" : ", \"") +
            std::string(EncodingName(verdict.candidates[i])) + "\"";
  }
  if (!verdict.candidates.empty()) json += "]";
  return json + "}";
}

// {"path": …, "error": …}, the reason in English as the batch's objects give it.
std::string ErrorObject(const std::string& input, const Reason& reason) {
  return "{\"path\": " + JsonString(input) + ", \"error\": " + JsonString(reason.Text()) + "}";
}

}  // namespace

int RunGuess(const GuessRequest& request) {
  WorkerPool pool;
  bool allTold = true;
  const std::vector<std::string> inputs =
      request.files.empty() ? std::vector<std::string>{"-"} : request.files;
  for (const std::string& input : inputs) {
    const Result<Verdict, Reason> verdict = GuessFile(input, pool);
    std::string line;
    if (verdict) {
      allTold = allTold && verdict->told;
      line = request.json ? Object(input, *verdict) : Line(input, *verdict);
    } else {
      allTold = false;
      ReportFile(input == "-" ? std::string(Tr("standard input")) : input, verdict.error());
      if (request.json) line = ErrorObject(input, verdict.error());
    }
    if (line.empty()) continue;
    if (const std::error_code error = WriteAll(STDOUT_FILENO, line + "\n")) {
      ReportFile(Tr("standard output"), {English("cannot write: {}"), {}, error});
      return 1;
    }
  }
  return allTold ? 0 : 1;
}

}  // namespace quobrel::cli
