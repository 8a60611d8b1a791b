// The Convert and Replace commands as the batches and streams take them.
#pragma once

#include "batch/text_stream.h"
#include "commands/convert_command.h"
#include "commands/plain_controls.h"
#include "commands/replace_command.h"

namespace quobrel {

FileCommand ConvertingCommand(const PlainOptionPanel& selection,
                              const ExtraConversions& extra = {});

// A search that holds a line break takes the pieces in order.
FileCommand ReplacingCommand(const ReplaceTexts& texts);

}  // namespace quobrel
