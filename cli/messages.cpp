#include "cli/messages.h"

#include <libintl.h>
#include <unistd.h>

#include "batch/file_names.h"
#include "batch/posix_file.h"
#include "cli/translation.h"

namespace quobrel::cli {

std::string Said(const Reason& reason) {
  // The C library's descriptions of errors come with its own translations.
  return reason.Text(reason.fromSystem ? ::dgettext("libc", reason.pattern.c_str())
                                       : Tr(reason.pattern.c_str()));
}

void ReportError(std::string_view message) {
  // Written at once, so that lines from a batch and from its progress do not mix.
  (void)WriteAll(STDERR_FILENO, "quobrel-cli: " + std::string(message) + "\n");
}

void ReportFile(std::string_view path, const Reason& reason) {
  ReportError(PrintableName(path) + ": " + Said(reason));
}

}  // namespace quobrel::cli
