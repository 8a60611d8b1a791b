// What quobrel-cli tells its user on standard error, in the user's language.
#pragma once

#include <string>
#include <string_view>

#include "files/reason.h"

namespace quobrel::cli {

// The reason in the user's language.
std::string Said(const Reason& reason);

// "quobrel-cli: MESSAGE".
void ReportError(std::string_view message);
// "quobrel-cli: PATH: REASON", the path's unprintable bytes shown as \xNN.
void ReportFile(std::string_view path, const Reason& reason);

}  // namespace quobrel::cli
