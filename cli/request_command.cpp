#include "cli/request_command.h"

#include "commands/convert_command.h"
#include "commands/plain_controls.h"
#include "engine/conversions.h"

namespace quobrel::cli {

BatchCommand CommandOf(const Request& request) {
  if (const auto* replace = std::get_if<ReplaceRequest>(&request.command)) {
    const auto mode =
        replace->matchCase ? convert::CompareMode::Exact : convert::CompareMode::IgnoreCase;
    return {[search = replace->search, replacement = replace->replacement,
             mode](const std::u16string& text) {
              convert::Replaced replaced = convert::ReplaceAll(text, search, replacement, mode);
              return BatchCommand::Result{std::move(replaced.text), replaced.count};
            },
            /*counted=*/true};
  }
  // The start-up selection, with the buttons the options name selected over it.
  PlainOptionPanel panel;
  for (OptionButton button : std::get<ConvertRequest>(request.command).buttons)
    panel.Select(button);
  return {[panel](std::u16string text) {
    return BatchCommand::Result{ConvertText(std::move(text), panel)};
  }};
}

}  // namespace quobrel::cli
