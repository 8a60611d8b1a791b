#include "cli/guess_mode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "batch/text_output.h"
#include "cli/json_lines.h"
#include "cli/messages.h"
#include "cli/translation.h"
#include "encoding/file_text.h"
#include "files/file_errors.h"
#include "files/file_names.h"
#include "files/posix_file.h"
#include "files/reason.h"
#include "files/system_calls.h"
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

// The text `fd` holds from its offset on, read through as convert reads a file before it
// converts it.
Result<Verdict, Reason> Guess(int fd, WorkerPool& pool) {
  const FileFormat format{.encoding = std::nullopt};
  Result<SurveyedInput, FileReport> input = SurveyInput(fd, format, true, pool);
  if (!input && input.error().error == FileError::Binary) return Verdict{"binary", {}, false};
  if (!input) return Failure(input.error().reason);
  if (input->text.readError) return Failure(ReasonOf(input->text.readError));
  const FileSurvey::Outcome& outcome = input->text.outcome;
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
  if (input->text.kind.byteOrderMark) return Told("UTF-8 (BOM)");
  if (outcome.asciiOnly) return Told("ASCII");
  return Told(EncodingName(input->text.kind.encoding));
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
  for (const std::string& input : InputsNamed(request.files)) {
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
