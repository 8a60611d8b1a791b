// The window's own command-line options; every other argument is left to Qt.
#pragma once

#include <optional>
#include <string>

namespace quobrel {

// The text to print for -h, --help or --version among ARGV, and then to exit; nothing when
// the window is to open.
std::optional<std::string> AnswerWithoutWindow(int argc, const char* const* argv);

}  // namespace quobrel
