#include "cli/messages.h"

#include <libintl.h>
#include <unistd.h>

#include <array>
#include <string_view>

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

// The batch's reasons for a text whose encoding was not told apart, each with what the user
// can do about it.
struct WithRemedy {
  std::string_view reason;
  const char* remedied;
};
constexpr std::array<WithRemedy, 4> kNameTheEncoding{{
    {"not valid {}", N_("not valid {}; name the encoding with --encoding")},
    {"not valid {}, {} or {}", N_("not valid {}, {} or {}; name the encoding with --encoding")},
    {"cannot tell whether it is {} or {}",
     N_("cannot tell whether it is {} or {}; name the encoding with --encoding")},
    {"cannot tell whether it is {}, {} or {}",
     N_("cannot tell whether it is {}, {} or {}; name the encoding with --encoding")},
}};

Reason Remedied(const FileReport& report) {
  if (report.encodingUndetected) {
    for (const WithRemedy& entry : kNameTheEncoding) {
      if (report.reason.pattern == entry.reason)
        return {entry.remedied, report.reason.words, report.reason.cause};
    }
  }
  return report.reason;
}

}  // namespace

std::string Said(const FileReport& report) { return Said(Remedied(report)); }

std::string InEnglish(const FileReport& report) { return Remedied(report).Text(); }

}  // namespace quobrel::cli
