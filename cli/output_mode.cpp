#include "cli/output_mode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/posix_file.h"
#include "batch/text_output.h"
#include "cli/messages.h"
#include "cli/request_command.h"
#include "cli/translation.h"

namespace quobrel::cli {
namespace {

// Standard input is UTF-8 unless named otherwise, as a filter's input is; a named file is
// told apart, as the batch tells its files.
FileFormat FormatOf(const Request& request, bool standardInput) {
  const std::optional<TextEncoding> encoding =
      request.encoding ? *request.encoding
                       : (standardInput ? std::optional(TextEncoding::Utf8) : std::nullopt);
  return {encoding, TextEncoding::Utf8, request.lineBreaks, request.outputEncoding};
}

// Converts one input; false when it could not be.
bool Convert(const std::string& input, const Request& request, WorkerPool& pool) {
  const bool standardInput = input == "-";
  const std::string name = standardInput ? Tr("standard input") : input;
  FileDescriptor opened;
  if (!standardInput) {
    opened = FileDescriptor(
        RetryOnInterrupt([&] { return ::open(input.c_str(), O_RDONLY | O_CLOEXEC); }));
    struct stat status {};
    if (opened && ::fstat(opened.get(), &status) == 0 && S_ISDIR(status.st_mode)) errno = EISDIR;
    if (!opened || S_ISDIR(status.st_mode)) {
      ReportFile(name, ReasonOf(LastError()));
      return false;
    }
  }
  const OutputRun run{CommandOf(request).forFile(), FormatOf(request, standardInput),
                      /*surveyed=*/!standardInput};
  const FileReport report = ConvertToOutput(
      standardInput ? STDIN_FILENO : opened.get(), run, pool,
      [](std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }, [] { return true; });
  if (Succeeded(report.outcome)) return true;
  ReportFile(name, report.reason);
  return false;
}

}  // namespace

int RunToOutput(const Request& request) {
  WorkerPool pool;
  bool allConverted = true;
  const std::vector<std::string> inputs =
      request.files.empty() ? std::vector<std::string>{"-"} : request.files;
  for (const std::string& input : inputs)
    allConverted = Convert(input, request, pool) && allConverted;
  return allConverted ? 0 : 1;
}

}  // namespace quobrel::cli
