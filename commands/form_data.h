#pragma once

#include <string>

namespace quobrel {

// The window's two texts through which a batch hands one file to a command and takes back
// its result. The batch has no use for SourceData once the command has run, so the Convert
// command takes its text over rather than keep a copy of a large file.
struct FormData {
  std::u16string SourceData;
  std::u16string ResultData;
};

// Who runs a command: a click, whose tab chooses between the text boxes and the file
// texts, or a batch, which always works on SourceData and ResultData.
enum class Caller { Click, Batch };

}  // namespace quobrel
