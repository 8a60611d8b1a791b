// quobrel-cli: the Convert and Replace commands as a filter to standard output, or over
// files in place or into a folder as the window's batches; and what each file's encoding is.
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_request.h"
#include "cli/file_mode.h"
#include "cli/guess_mode.h"
#include "cli/messages.h"
#include "cli/output_mode.h"
#include "cli/translation.h"
#include "files/posix_file.h"
#include "stream/allocator_tuning.h"

namespace {

using namespace quobrel;

int Run(int argc, char** argv) {
  const cli::ParsedCommandLine parsed =
      cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* leaving = std::get_if<cli::Leaving>(&parsed)) {
    if (leaving->exitStatus != 0) {
      std::cerr << leaving->text;
      return leaving->exitStatus;
    }
    // Help or version that cannot be written is a failure, as for any other output.
    if (const std::error_code error = WriteAll(STDOUT_FILENO, leaving->text)) {
      cli::ReportFile(cli::Tr("standard output"), {English("cannot write: {}"), {}, error});
      return 1;
    }
    return 0;
  }
  if (const auto* guess = std::get_if<cli::GuessRequest>(&parsed)) return cli::RunGuess(*guess);
  const auto& request = std::get<cli::Request>(parsed);
  if (const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command);
      replace != nullptr && replace->search.empty()) {
    cli::ReportError(cli::Tr("the search text must not be empty"));
    return 1;
  }
  if (request.inPlace || request.outputDirectory) return cli::RunOnFiles(request, std::cout);
  return cli::RunToOutput(request);
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit then fails the write with EFBIG, reported for that file, instead of
  // ending the process mid-batch.
  std::signal(SIGXFSZ, SIG_IGN);
  TuneAllocatorForStreams();
  cli::UseUsersLanguage();
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    cli::ReportError(cli::Tr("not enough memory for the text"));
  } catch (const std::exception& error) {
    cli::ReportError(error.what());
  }
  return 1;
}
