#include "cli/messages.h"

#include <libintl.h>
#include <unistd.h>

#include "cli/translation.h"
#include "files/file_names.h"
#include "files/posix_file.h"

namespace quobrel::cli {

std::string Said(const Reason& reason) {
  const std::string cause = Description(reason.cause);
  // The C library's descriptions of errors come with its own translations.
  const bool fromSystem = reason.cause.category() == std::system_category() ||
                          reason.cause.category() == std::generic_category();
  return reason.Text(Tr(reason.pattern.c_str()), cause.empty() ? cause
                                                 : fromSystem  ? ::dgettext("libc", cause.c_str())
                                                               : Tr(cause.c_str()));
}

void ReportError(std::string_view message) {
  // Written at once, so that lines from a batch and from its progress do not mix.
  (void)WriteAll(STDERR_FILENO, "quobrel-cli: " + std::string(message) + "\n");
}

void ReportFile(std::string_view path, const Reason& reason) {
  ReportError(PrintableName(path) + ": " + Said(reason));
}

void ReportNotDone(std::string_view path, const FileReport& report) {
  ReportError(PrintableName(path) + ": " + Said(report));
}

namespace {
// What the user can do about it, where it is in the user's hands.
constexpr const char* kNameTheEncoding = N_("{}; name the encoding with --encoding");
}  // namespace

std::string Said(const FileReport& report) {
  const std::string said = Said(report.reason);
  return report.encodingUndetected ? Filled(Tr(kNameTheEncoding), {said}) : said;
}

std::string InEnglish(const FileReport& report) {
  const std::string text = report.reason.Text();
  return report.encodingUndetected ? Filled(kNameTheEncoding, {text}) : text;
}

}  // namespace quobrel::cli
