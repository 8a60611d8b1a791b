// The command a request names, as a function from a text to its result: the same for
// files and for standard input. It holds no state, so pieces may run it at once.
#pragma once

#include "batch/file_batch.h"
#include "cli/cli_request.h"

namespace quobrel::cli {

BatchCommand CommandOf(const Request& request);

}  // namespace quobrel::cli
