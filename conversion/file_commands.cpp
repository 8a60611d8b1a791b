#include "conversion/file_commands.h"

namespace quobrel {

FileCommand ConvertingCommand(const Options& options) {
  return {[options](std::u16string text) {
            return CommandResult{ConvertText(std::move(text), options)};
          },
          {}};
}

FileCommand ReplacingCommand(const ReplaceTexts& texts) {
  FileCommand command{[texts](const std::u16string& text) {
                        convert::Replaced replaced = texts.In(text);
                        return CommandResult{std::move(replaced.text), replaced.count};
                      },
                      {}};
  if (texts.AcrossLines()) {
    command.runHead = [texts](std::u16string_view text) {
      return convert::ReplaceAllButTail(text, texts.search, texts.replacement, texts.mode);
    };
  }
  return command;
}

}  // namespace quobrel
