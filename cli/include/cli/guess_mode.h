#pragma once

#include "cli/cli_request.h"

namespace quobrel::cli {

// Tells the encoding of each named file, or of standard input ("-", or no file at all), as
// convert's first reading of it finds it, and writes nothing but the answers: a line
// "NAME: ENCODING" for each on standard output, or its JSON object. Reports each that cannot
// be read and goes on. Returns 0 when every one was told apart, 1 otherwise.
[[nodiscard]] int RunGuess(const GuessRequest& request);

}  // namespace quobrel::cli
