// The batch's report for scripts: a JSON object on a line for each file, and a summary.
#pragma once

#include <string>
#include <string_view>

#include "batch/file_batch.h"

namespace quobrel::cli {

// A JSON string of `bytes`: UTF-8 as it is, every byte of what is not as "\\xNN".
std::string JsonString(std::string_view bytes);

// {"path": …, "outcome": …, "status": …, "encoding": …, "count": …, "error": …}, the last
// three where they apply.
std::string FileObject(std::string_view path, const StatusLine& line, const FileReport& report);

std::string SummaryObject(std::size_t done, std::size_t notDone);

}  // namespace quobrel::cli
