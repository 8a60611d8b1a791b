// quobrel-cli: the Convert and Replace commands as a filter from standard input to
// standard output.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli_request.h"
#include "text_filter.h"

namespace {

using namespace quobrel;

constexpr int kBadInput = 1;

int Fail(const std::string& message) {
  std::cerr << "quobrel-cli: " << message << '\n';
  return kBadInput;
}

bool ReadAll(int fd, std::string& bytes) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(fd, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

std::string EncodingName(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? "UTF-8" : "code page 932";
}

}  // namespace

int main(int argc, char** argv) {
  const cli::ParsedCommandLine parsed =
      cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* text = std::get_if<std::string>(&parsed.outcome)) {
    (parsed.exitStatus == 0 ? std::cout : std::cerr) << *text;
    return parsed.exitStatus;
  }
  const auto& request = std::get<cli::Request>(parsed.outcome);

  std::string input;
  if (!ReadAll(STDIN_FILENO, input)) {
    return Fail(std::string("cannot read standard input: ") + std::strerror(errno));
  }
  DecodedText decoded = Decode(input, request.encoding);
  if (decoded.invalidByteAt) {
    return Fail("standard input is not valid " + EncodingName(request.encoding) + " (byte " +
                std::to_string(*decoded.invalidByteAt) + ")");
  }
  input = std::string();  // the text is decoded; give its bytes back

  std::u16string result;
  if (const auto* replace = std::get_if<cli::ReplaceRequest>(&request.command)) {
    if (replace->search.empty() || replace->replacement.empty()) {
      return Fail("the search and replacement texts must not be empty");
    }
    result = cli::RunReplace(std::move(decoded.text), *replace);
  } else {
    result =
        cli::RunConvert(std::move(decoded.text), std::get<cli::ConvertRequest>(request.command));
  }

  const EncodedText encoded = Encode(result, request.encoding);
  if (encoded.unencodableAt) {
    return Fail("the result cannot be written in " + EncodingName(request.encoding) +
                " (character " + std::to_string(*encoded.unencodableAt) + ")");
  }
  if (!WriteAll(STDOUT_FILENO, encoded.bytes)) {
    return Fail(std::string("cannot write standard output: ") + std::strerror(errno));
  }
  return 0;
}
