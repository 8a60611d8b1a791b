// The Convert and Replace commands as the batches and streams take them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "conversion/convert_command.h"
#include "conversion/convert_options.h"
#include "conversion/replace_command.h"

namespace quobrel {

struct CommandResult {
  std::u16string text;
  std::size_t count = 0;  // replacements made
};
// A command over a text as the commands take it. It runs on any thread: it holds
// everything it needs.
using TextCommand = std::function<CommandResult(std::u16string text)>;
// The same over a text that goes on in the next piece, but for a tail it leaves as it is.
using HeadCommand = std::function<convert::ReplacedHead(std::u16string_view text)>;

// The same over valid UTF-8, into UTF-8, line breaks as they are.
using Utf8Command = std::function<std::string(std::string_view bytes)>;

struct FileCommand {
  TextCommand run;
  // Set for a command that may match across a line break: the pieces then take their turn
  // in order, each but the last through `runHead`, its tail put before the next.
  HeadCommand runHead;
  // Set for a command that gives what `run` gives quicker on UTF-8 as it is, and no more
  // sees a line break than any other character it leaves alone.
  Utf8Command runUtf8;
};

FileCommand ConvertingCommand(const Options& options);

// A search that holds a line break takes the pieces in order.
FileCommand ReplacingCommand(const ReplaceTexts& texts);

}  // namespace quobrel
