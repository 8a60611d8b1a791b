#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "option_panel.h"
#include "text_codec.h"

namespace quobrel::cli {

struct ConvertRequest {
  std::vector<OptionButton> buttons;  // selected over the start-up selection, in order
};

struct ReplaceRequest {
  std::u16string search;
  std::u16string replacement;
  bool matchCase = false;
};

struct Request {
  std::variant<ConvertRequest, ReplaceRequest> command;
  std::optional<TextEncoding> encoding;  // as given; UTF-8 for text, code page 932 for files
  std::vector<std::string> files;        // none: a filter from standard input
  std::optional<std::string> outputDirectory;
};

// What the command line asks for: a request, or text to print and the exit status.
struct ParsedCommandLine {
  std::variant<Request, std::string> outcome;  // the string: help, version or usage error
  int exitStatus = 0;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace quobrel::cli
