#pragma once

#include <ostream>

#include "cli/cli_request.h"

namespace quobrel::cli {

// Runs the request's command over its files as the window's batch does, printing each
// file's final status line and the closing line to `out`, and for each file that failed
// its path and the reason to `errors`. Returns 0 when every file succeeded (a replacement
// without occurrence counts as success), 1 otherwise, and 1 when `out` cannot be written.
int RunOnFiles(const Request& request, std::ostream& out, std::ostream& errors);

}  // namespace quobrel::cli
