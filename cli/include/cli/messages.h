// What quobrel-cli tells its user on standard error, in the user's language.
#pragma once

#include <string>
#include <string_view>

#include "batch/file_batch.h"
#include "files/reason.h"

namespace quobrel::cli {

// The reason in the user's language.
std::string Said(const Reason& reason);
// Why a file was not done, in the user's language and in English.
std::string Said(const FileReport& report);
std::string InEnglish(const FileReport& report);

// "quobrel-cli: MESSAGE".
void ReportError(std::string_view message);
// "quobrel-cli: PATH: REASON", the path's unprintable bytes shown as \xNN.
void ReportFile(std::string_view path, const Reason& reason);
// The same for a file that was not done.
void ReportNotDone(std::string_view path, const FileReport& report);

}  // namespace quobrel::cli
