// quobrel-cli: the Convert and Replace commands as a filter from standard input to
// standard output, or over files as the window's batches.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <variant>
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

// The encoding of standard input: the one asked for, UTF-8 by default, or told apart as
// a file's would be; or why it cannot be told.
std::variant<TextEncoding, std::string> InputEncoding(const cli::Request& request,
                                                      std::string_view input) {
  const std::optional<TextEncoding> asked = request.encoding.value_or(TextEncoding::Utf8);
  if (asked) return *asked;
  const Detection detection = DetectEncoding(input);
  if (detection.encoding || detection.asciiOnly)
    return detection.encoding.value_or(TextEncoding::Utf8);
  if (detection.candidates.empty()) {
    return "standard input is not valid UTF-8, Shift_JIS or EUC-JP; name its encoding with "
           "--encoding";
  }
  std::string names;
  for (TextEncoding candidate : detection.candidates)
    names += (names.empty() ? "" : " or ") + std::string(EncodingName(candidate));
  return "cannot tell whether standard input is " + names + "; name its encoding with --encoding";
}

// Standard input, converted, to standard output; nothing is written unless all of it
// converts.
int Filter(const cli::Request& request) {
  std::string input;
  struct stat status;
  const bool regular = fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode);
  if (const std::error_code error =
          ReadAll(STDIN_FILENO, input, regular ? static_cast<std::size_t>(status.st_size) : 0)) {
    return Fail("cannot read standard input: " + error.message());
  }
  const auto encoding = InputEncoding(request, input);
  if (const auto* error = std::get_if<std::string>(&encoding)) return Fail(*error);
  const TextEncoding chosen = std::get<TextEncoding>(encoding);

  // A search across a line break could be cut in two: such a search takes the whole text.
  const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command);
  const bool mayCut = replace == nullptr || replace->search.find(u'\n') == std::u16string::npos;
  const BatchCommand command = cli::CommandOf(request);
  const cli::FilteredText filtered = cli::FilterInPieces(
      input, chosen, mayCut,
      [&command](std::u16string text) { return command.run(std::move(text)).text; });
  const std::string name(EncodingName(chosen));
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

int Run(int argc, char** argv) {
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
  return request.files.empty() ? Filter(request) : cli::RunOnFiles(request, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit then fails the write with EFBIG, reported for that file, instead of
  // ending the process mid-batch.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for the text");
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
