#pragma once

#include <ostream>

#include "cli/cli_request.h"

namespace quobrel::cli {

// Runs the request's command over its files as the window's batch does, in place or into
// the output folder. Prints each file's status line to `out` as it is done, in the list's
// order (or its JSON object), then the closing line (or the summary object); on standard
// error the reason for each file not done, and how many were not. Stops cleanly on SIGINT
// or SIGTERM. Returns 0 when every file succeeded (a replacement without occurrence counts
// as success), 1 otherwise or when `out` cannot be written, 128 and the signal's number when
// one stopped it.
[[nodiscard]] int RunOnFiles(const Request& request, std::ostream& out);

}  // namespace quobrel::cli
