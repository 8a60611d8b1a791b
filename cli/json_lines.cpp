#include "cli/json_lines.h"

#include <filesystem>

#include "cli/messages.h"
#include "files/file_errors.h"
#include "files/file_names.h"
#include "status/status_text.h"

namespace quobrel::cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// How a file ended, in a word: done, unchanged, refused, failed or stopped.
std::string_view OutcomeWord(const FileReport& report) {
  switch (report.outcome) {
    case FileOutcome::Converted:
      return "done";
    case FileOutcome::NothingToDo:
    case FileOutcome::AlreadyDone:
      return "unchanged";
    case FileOutcome::NotFound:
      return "failed";
    case FileOutcome::Failed:
      // A check turned it down, or the system failed a step.
      return report.error && report.error.category() != FileErrorCategory() ? "failed" : "refused";
    case FileOutcome::Stopped:
    case FileOutcome::Cancelled:
      return "stopped";
  }
  return "failed";
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string json = "\"";
  for (const char byte : Utf8Name(bytes)) {
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += byte;
    } else if (static_cast<unsigned char>(byte) < 0x20) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 15];
    } else {
      json += byte;
    }
  }
  return json + '"';
}

std::string FileObject(std::string_view path, const StatusLine& line, const FileReport& report) {
  std::string json =
      "{\"path\": " + JsonString(path) + ", \"outcome\": \"" + std::string(OutcomeWord(report)) +
      "\", \"status\": " + JsonString(std::filesystem::path(StatusText(line)).string());
  if (report.encoding)
    json += ", \"encoding\": \"" + std::string(EncodingName(*report.encoding)) + "\"";
  if (report.count) json += ", \"count\": " + std::to_string(*report.count);
  if (!Succeeded(report.outcome) && report.outcome != FileOutcome::Cancelled)
    json += ", \"error\": " + JsonString(InEnglish(report));
  return json + "}";
}

std::string SummaryObject(std::size_t done, std::size_t notDone) {
  return "{\"summary\": {\"done\": " + std::to_string(done) +
         ", \"not_done\": " + std::to_string(notDone) + "}}";
}

}  // namespace quobrel::cli
