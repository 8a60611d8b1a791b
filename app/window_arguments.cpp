#include "app/window_arguments.h"

#include <string_view>

#include "support/version.h"

namespace quobrel {
namespace {

constexpr std::string_view kHelp =
    "Usage: quobrel [QT_OPTION...]\n"
    "Opens Quobrel's window, which converts Japanese text between full-width and half-width\n"
    "forms and replaces text, typed in or in the files of a folder.\n"
    "\n"
    "  -h, --help  show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "The options of every Qt program, such as -platform NAME or -style NAME, are taken too.\n"
    "quobrel-cli does the same work from the command line.\n";

}  // namespace

std::optional<std::string> AnswerWithoutWindow(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") return std::string(kHelp);
    if (argument == "--version") return std::string(kVersionLabel) + "\n";
  }
  return std::nullopt;
}

}  // namespace quobrel
