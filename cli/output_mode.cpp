#include "cli/output_mode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/text_output.h"
#include "cli/messages.h"
#include "cli/request_command.h"
#include "cli/translation.h"
#include "files/posix_file.h"

namespace quobrel::cli {
namespace {

// Whether `fd` is the very file standard output writes to, which it would read on and on.
bool IsStandardOutput(int fd) {
  struct stat input {
  }, output{};
  return ::fstat(fd, &input) == 0 && ::fstat(STDOUT_FILENO, &output) == 0 &&
         S_ISREG(input.st_mode) && FileIdentity::Of(input) == FileIdentity::Of(output);
}

// A pipe holds 64 KB by default, so that each read or write of it moves a piece at most
// and the two ends take turns at every piece; 1 MB lets them run side by side. Where the
// system refuses, the pipe stays as it was; a file is no pipe, and is left alone.
void WidenPipe(int fd) {
  constexpr int kPipeSize = 1 << 20;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode)) ::fcntl(fd, F_SETPIPE_SZ, kPipeSize);
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
  const int fd = standardInput ? STDIN_FILENO : opened.get();
  if (IsStandardOutput(fd)) {
    ReportFile(name, {English("the input is the output")});
    return false;
  }
  WidenPipe(fd);
  const OutputRun run{CommandOf(request).forFile(), FormatOf(request, standardInput),
                      /*surveyed=*/!standardInput};
  const FileReport report = ConvertToOutput(
      fd, run, pool, [](std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); });
  if (Succeeded(report.outcome)) return true;
  ReportNotDone(name, report);
  return false;
}

}  // namespace

int RunToOutput(const Request& request) {
  WidenPipe(STDOUT_FILENO);
  WorkerPool pool;
  bool allConverted = true;
  for (const std::string& input : InputsNamed(request.files))
    allConverted = Convert(input, request, pool) && allConverted;
  return allConverted ? 0 : 1;
}

}  // namespace quobrel::cli
