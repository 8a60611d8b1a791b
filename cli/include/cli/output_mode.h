#pragma once

#include "cli/cli_request.h"

namespace quobrel::cli {

// Converts each named file, or standard input ("-", or no file at all), to standard
// output one after the other, as cat joins them; each is read and told apart on its own.
// Reports each that cannot be converted and goes on. Returns 0 when all were, 1 otherwise.
[[nodiscard]] int RunToOutput(const Request& request);

}  // namespace quobrel::cli
