// The command line's parser over any arguments (the input split at its NUL bytes, which no
// argument can hold): it must neither crash nor leak, read the same words the same way
// every time, answer with help, the version or a usage error of one printable line, or
// else with a request that holds together.
#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/cli_request.h"
#include "encoding/text_codec.h"
#include "fuzz/fuzz_check.h"

namespace quobrel {
namespace {

std::vector<std::string> Arguments(std::string_view input) {
  std::vector<std::string> arguments;
  while (!input.empty()) {
    const std::size_t end = std::min(input.find('\0'), input.size());
    arguments.emplace_back(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
  }
  return arguments;
}

// No byte that moves a terminal's cursor: no C0 or C1 control character, nor DEL, whether
// as a UTF-8 character or as a byte of none.
bool Printable(std::string_view line) {
  for (std::size_t at = 0; at < line.size();) {
    std::size_t next = at;
    UChar32 c;
    U8_NEXT(line.data(), next, line.size(), c);
    if (c < 0) {
      next = at + 1;  // a byte of no character, on its own
      c = static_cast<unsigned char>(line[at]);
    }
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    at = next;
  }
  return true;
}

bool SameRequest(const cli::Request& a, const cli::Request& b) {
  const auto* aReplace = std::get_if<cli::ReplaceRequest>(&a.command);
  const auto* bReplace = std::get_if<cli::ReplaceRequest>(&b.command);
  const bool sameCommand =
      aReplace && bReplace
          ? aReplace->search == bReplace->search &&
                aReplace->replacement == bReplace->replacement &&
                aReplace->matchCase == bReplace->matchCase
          : !aReplace && !bReplace && std::get<Options>(a.command) == std::get<Options>(b.command);
  return sameCommand && a.encoding == b.encoding && a.outputEncoding == b.outputEncoding &&
         a.files == b.files && a.inPlace == b.inPlace && a.outputDirectory == b.outputDirectory &&
         a.lineBreaks == b.lineBreaks && a.dryRun == b.dryRun && a.recursive == b.recursive &&
         a.backups == b.backups && a.json == b.json && a.quiet == b.quiet;
}

// Whether `part` comes from one of the arguments, as all that a request holds must.
bool Given(std::string_view part, const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(), [&](const std::string& argument) {
    return argument.find(part) != std::string::npos;
  });
}

// The files are arguments, in their order; "-" alone is standard input, as no file is.
void CheckFiles(const std::vector<std::string>& files, const std::vector<std::string>& arguments) {
  Check(files != std::vector<std::string>{"-"});
  auto next = arguments.begin();
  for (const std::string& file : files) {
    next = std::find(next, arguments.end(), file);
    Check(next != arguments.end());
    ++next;
  }
}

void CheckRequest(const cli::Request& request, const std::vector<std::string>& arguments) {
  const bool writesFiles = request.inPlace || request.outputDirectory;
  Check(!(request.inPlace && request.outputDirectory));
  Check(!request.outputDirectory ||
        (!request.outputDirectory->empty() && Given(*request.outputDirectory, arguments)));
  // Files written to are real ones.
  Check(!writesFiles ||
        (!request.files.empty() &&
         std::find(request.files.begin(), request.files.end(), "-") == request.files.end()));
  Check(writesFiles || (!request.dryRun && !request.recursive && !request.json &&
                        request.backups == BackupPolicy::Replace));
  Check(!(request.json && request.quiet));
  CheckFiles(request.files, arguments);
  const char* command = "convert";
  if (const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command)) {
    command = "replace";
    for (const std::u16string* text : {&replace->search, &replace->replacement}) {
      const Result<std::string, Unencodable> utf8 = Encode(*text, TextEncoding::Utf8);
      Check(utf8.ok() && Given(*utf8, arguments));
    }
  }
  Check(std::find(arguments.begin(), arguments.end(), command) != arguments.end());
}

}  // namespace
}  // namespace quobrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quobrel;
  const std::vector<std::string> arguments =
      Arguments(std::string_view(reinterpret_cast<const char*>(data), size));
  const cli::ParsedCommandLine parsed = cli::ParseCommandLine(arguments);
  const cli::ParsedCommandLine again = cli::ParseCommandLine(arguments);
  Check(parsed.index() == again.index());
  if (const auto* leaving = std::get_if<cli::Leaving>(&parsed)) {
    const std::string* text = &leaving->text;
    Check(*text == std::get<cli::Leaving>(again).text);
    Check(leaving->exitStatus == std::get<cli::Leaving>(again).exitStatus);
    Check(!text->empty() && text->back() == '\n');
    Check(leaving->exitStatus == 0 || leaving->exitStatus == 2);
    if (leaving->exitStatus == 2) {
      // "quobrel-cli: what is wrong", then where to find help.
      const std::string_view line = std::string_view(*text).substr(0, text->find('\n'));
      Check(line.starts_with("quobrel-cli: ") && Printable(line));
      Check(std::count(text->begin(), text->end(), '\n') == 2);
    }
    return 0;
  }
  if (const auto* guess = std::get_if<cli::GuessRequest>(&parsed)) {
    const auto& twice = std::get<cli::GuessRequest>(again);
    Check(guess->files == twice.files && guess->json == twice.json);
    CheckFiles(guess->files, arguments);
    Check(std::find(arguments.begin(), arguments.end(), "guess") != arguments.end());
    return 0;
  }
  const auto& request = std::get<cli::Request>(parsed);
  Check(SameRequest(request, std::get<cli::Request>(again)));
  CheckRequest(request, arguments);
  return 0;
}
