#pragma once

#include <ostream>

#include "cli_request.h"

namespace quobrel::cli {

// Runs the request's command over its files as the window's batch does, printing each
// file's final status line and the closing line. Returns 0 when every file succeeded (a
// replacement without occurrence counts as success), 1 otherwise.
int RunOnFiles(const Request& request, std::ostream& out);

}  // namespace quobrel::cli
