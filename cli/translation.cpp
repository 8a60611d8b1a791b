#include "cli/translation.h"

#include <libintl.h>

#include <clocale>
#include <filesystem>
#include <system_error>

namespace quobrel::cli {
namespace {

constexpr const char* kDomain = "quobrel-cli";

}  // namespace

void UseUsersLanguage() {
  std::setlocale(LC_ALL, "");
  // The catalogue lies where the program was installed, or built, whatever the prefix; where
  // the program cannot be found, gettext's own folder is left.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path locales = program.parent_path().parent_path() / "share" / "locale";
    ::bindtextdomain(kDomain, locales.c_str());
  }
  // The translations are written as UTF-8 whatever the locale's character set.
  ::bind_textdomain_codeset(kDomain, "UTF-8");
}

const char* Tr(const char* english) { return ::dgettext(kDomain, english); }

const char* TrCount(const char* one, const char* many, unsigned long count) {
  return ::dngettext(kDomain, one, many, count);
}

}  // namespace quobrel::cli
