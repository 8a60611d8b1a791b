#include "cli/request_command.h"

#include "conversion/file_commands.h"
#include "engine/conversions.h"

namespace quobrel::cli {

BatchCommand CommandOf(const Request& request) {
  if (const auto* replace = std::get_if<ReplaceRequest>(&request.command)) {
    const FileCommand command = ReplacingCommand(
        {replace->search, replace->replacement,
         replace->matchCase ? convert::CompareMode::Exact : convert::CompareMode::IgnoreCase});
    return {[command] { return FileCommand(command); }, /*counted=*/true, request.dryRun,
            request.backups};
  }
  const FileCommand command = ConvertingCommand(std::get<Options>(request.command));
  return {[command] { return FileCommand(command); }, /*counted=*/false, request.dryRun,
          request.backups};
}

FileFormat FormatOf(const Request& request, bool standardInput) {
  const std::optional<TextEncoding> encoding =
      request.encoding ? *request.encoding
                       : (standardInput ? std::optional(TextEncoding::Utf8) : std::nullopt);
  return {encoding, TextEncoding::Utf8, request.lineBreaks, request.outputEncoding};
}

}  // namespace quobrel::cli
