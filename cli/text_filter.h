#pragma once

#include <string>

#include "cli_request.h"

namespace quobrel::cli {

// Run the window's commands over one text, with the request's settings standing in for
// the window's controls.
std::u16string RunConvert(std::u16string text, const ConvertRequest& request);
std::u16string RunReplace(std::u16string text, const ReplaceRequest& request);

}  // namespace quobrel::cli
