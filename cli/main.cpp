// quobrel-cli: the Convert and Replace commands as a filter from standard input to
// standard output, or over files as the window's batches.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "batch/allocator_tuning.h"
#include "batch/encoding_detection.h"
#include "batch/posix_file.h"
#include "batch/text_stream.h"
#include "cli/cli_request.h"
#include "cli/file_mode.h"
#include "cli/request_command.h"

namespace {

using namespace quobrel;

constexpr int kBadInput = 1;

int Fail(const std::string& message) {
  std::cerr << "quobrel-cli: " << message << '\n';
  return kBadInput;
}

// The encoding of standard input told apart from all of it, as a file's would be; or why
// it cannot be told.
std::variant<TextEncoding, std::string> DetectedEncoding(std::string_view input) {
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

// Standard input, converted, to standard output as it goes. In the encoding asked for, or
// UTF-8; to be told apart, standard input is read whole first.
int Filter(const cli::Request& request) {
  ReadBytes read = [](char* buffer, std::size_t size) {
    return ::read(STDIN_FILENO, buffer, size);
  };
  std::string whole;
  FileKind kind;
  kind.encoding = request.encoding.value_or(TextEncoding::Utf8).value_or(TextEncoding::Utf8);
  if (request.encoding && !*request.encoding) {
    if (const std::error_code error = ReadAll(STDIN_FILENO, whole, 0))
      return Fail("cannot read standard input: " + error.message());
    const auto detected = DetectedEncoding(whole);
    if (const auto* error = std::get_if<std::string>(&detected)) return Fail(*error);
    kind.encoding = std::get<TextEncoding>(detected);
    read = [rest = std::string_view(whole)](char* buffer, std::size_t size) mutable {
      const std::size_t count = std::min(size, rest.size());
      rest.copy(buffer, count);
      rest.remove_prefix(count);
      return static_cast<ssize_t>(count);
    };
  }
  const FileCommand command = cli::CommandOf(request).forFile();
  WorkerPool pool;
  PieceReader reader(read);
  const StreamOutcome streamed = StreamText(
      reader, pool, kind, command,
      [](std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }, [] { return true; });
  const std::string name(EncodingName(kind.encoding));
  if (streamed.readError)
    return Fail("cannot read standard input: " + streamed.readError.message());
  switch (streamed.failure) {
    case TextFailure::Invalid:
      return Fail("standard input is not valid " + name + " (" +
                  Where(streamed.invalidAt, streamed.failedAt) +
                  "); name its encoding with --encoding, or auto");
    case TextFailure::NotRoundTrip:
      return Fail("standard input has " + name + " codes that would be written back otherwise");
    case TextFailure::Unencodable:
      return Fail("the result cannot be written in " + name + " (character " +
                  std::to_string(streamed.failedAt) + ")");
    default:
      break;
  }
  if (streamed.writeError)
    return Fail("cannot write standard output: " + streamed.writeError.message());
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
      replace != nullptr && replace->search.empty()) {
    return Fail("the search text must not be empty");
  }
  return request.files.empty() ? Filter(request) : cli::RunOnFiles(request, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit then fails the write with EFBIG, reported for that file, instead of
  // ending the process mid-batch.
  std::signal(SIGXFSZ, SIG_IGN);
  TuneAllocatorForStreams();
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory for the text");
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
