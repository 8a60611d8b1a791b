// The command a request names, as a function from a text to its result: the same for
// files and for standard input. It holds no state, so pieces may run it at once.
#pragma once

#include "batch/file_batch.h"
#include "cli/cli_request.h"

namespace quobrel::cli {

BatchCommand CommandOf(const Request& request);

// The format a file is read and written in; standard input is UTF-8 unless named otherwise,
// as a filter's input is, and a file told apart, as the batch tells its files apart (one
// of ASCII only is written as UTF-8, as most files here are).
FileFormat FormatOf(const Request& request, bool standardInput = false);

}  // namespace quobrel::cli
