// quobrel-cli: the Convert and Replace commands as a filter from standard input to
// standard output.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "batch/encoding_detection.h"
#include "batch/posix_file.h"
#include "cli/cli_request.h"
#include "cli/file_mode.h"
#include "cli/piecewise_filter.h"
#include "cli/request_command.h"

namespace {

using namespace quobrel;

constexpr int kBadInput = 1;

int Fail(const std::string& message) {
  std::cerr << "quobrel-cli: " << message << '\n';
  return kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit then fails the write with EFBIG, reported for that file, instead of
  // ending the process mid-batch.
  std::signal(SIGXFSZ, SIG_IGN);
  const cli::ParsedCommandLine parsed =
      cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* text = std::get_if<std::string>(&parsed.outcome)) {
    (parsed.exitStatus == 0 ? std::cout : std::cerr) << *text;
    return parsed.exitStatus;
  }
  const auto& request = std::get<cli::Request>(parsed.outcome);
  if (const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command);
      replace != nullptr && (replace->search.empty() || replace->replacement.empty())) {
    return Fail("the search and replacement texts must not be empty");
  }
  if (!request.files.empty()) return cli::RunOnFiles(request, std::cout, std::cerr);

  std::string input;
  struct stat status;
  const bool regular = fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode);
  if (const std::error_code error =
          ReadAll(STDIN_FILENO, input, regular ? static_cast<std::size_t>(status.st_size) : 0)) {
    return Fail("cannot read standard input: " + error.message());
  }
  std::optional<TextEncoding> encoding = request.encoding.value_or(TextEncoding::Utf8);
  if (!encoding) {  // told apart, as a file's would be
    const Detection detection = DetectEncoding(input);
    if (!detection.encoding && !detection.asciiOnly) {
      if (detection.candidates.empty()) {
        return Fail(
            "standard input is not valid UTF-8, Shift_JIS or EUC-JP; name its encoding "
            "with --encoding");
      }
      std::string names;
      for (TextEncoding candidate : detection.candidates)
        names += (names.empty() ? "" : " or ") + std::string(EncodingName(candidate));
      return Fail("cannot tell whether standard input is " + names +
                  "; name its encoding with --encoding");
    }
    encoding = detection.encoding.value_or(TextEncoding::Utf8);
  }
  // A search across a line break could be cut in two: such a search takes the whole text.
  const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command);
  const bool mayCut = replace == nullptr || replace->search.find(u'\n') == std::u16string::npos;
  const BatchCommand command = cli::CommandOf(request);
  const cli::TextFilter filter = [&command](std::u16string text) {
    return command.run(std::move(text)).text;
  };

  const cli::FilteredText filtered = cli::FilterInPieces(input, *encoding, mayCut, filter);
  const std::string name(EncodingName(*encoding));
  if (filtered.invalidByteAt) {
    return Fail("standard input is not valid " + name + " (byte " +
                std::to_string(*filtered.invalidByteAt) +
                "); name its encoding with --encoding, or auto");
  }
  if (filtered.unencodableAt) {
    return Fail("the result cannot be written in " + name + " (character " +
                std::to_string(*filtered.unencodableAt) + ")");
  }
  for (const std::string& piece : filtered.pieces) {
    if (const std::error_code error = WriteAll(STDOUT_FILENO, piece)) {
      return Fail("cannot write standard output: " + error.message());
    }
  }
  return 0;
}
