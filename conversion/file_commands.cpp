#include "conversion/file_commands.h"

#include <memory>

#include "engine/conversion_chain.h"

namespace quobrel {

// The options cannot change while a file converts: the chain is compiled once, for every
// piece, into the fused pass.
FileCommand ConvertingCommand(const Options& options) {
  auto chain = std::make_shared<const convert::FusedChain>(ChainOf(options));
  FileCommand command;
  command.run = [chain](const std::u16string& text) { return CommandResult{chain->Convert(text)}; };
  if (chain->QuickerOnUtf8())
    command.runUtf8 = [chain](std::string_view bytes) { return chain->ConvertUtf8(bytes); };
  return command;
}

FileCommand ReplacingCommand(const ReplaceTexts& texts) {
  FileCommand command;
  command.run = [texts](const std::u16string& text) {
    convert::Replaced replaced = texts.In(text);
    return CommandResult{std::move(replaced.text), replaced.count};
  };
  if (texts.AcrossLines()) {
    command.runHead = [texts](std::u16string_view text) {
      return convert::ReplaceAllButTail(text, texts.search, texts.replacement, texts.mode);
    };
  }
  return command;
}

}  // namespace quobrel
