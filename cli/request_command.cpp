#include "cli/request_command.h"

#include "commands/convert_command.h"
#include "commands/plain_controls.h"
#include "commands/replace_command.h"
#include "engine/conversions.h"

namespace quobrel::cli {

BatchCommand CommandOf(const Request& request) {
  if (const auto* replace = std::get_if<ReplaceRequest>(&request.command)) {
    const ReplaceTexts texts{
        replace->search, replace->replacement,
        replace->matchCase ? convert::CompareMode::Exact : convert::CompareMode::IgnoreCase};
    const FileCommand command{[texts](const std::u16string& text) {
                                convert::Replaced replaced = texts.In(text);
                                return CommandResult{std::move(replaced.text), replaced.count};
                              },
                              texts.AcrossLines()};
    return {[command] { return FileCommand(command); }, /*counted=*/true};
  }
  // The start-up selection, with the buttons the options name selected over it.
  PlainOptionPanel panel;
  for (OptionButton button : std::get<ConvertRequest>(request.command).buttons)
    panel.Select(button);
  const FileCommand command{
      [panel](std::u16string text) { return CommandResult{ConvertText(std::move(text), panel)}; }};
  return {[command] { return FileCommand(command); }};
}

}  // namespace quobrel::cli
