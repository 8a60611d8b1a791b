#include "files/reason.h"

#include <string.h>

namespace quobrel {

std::string Description(const std::error_code& error) {
  if (!error) return {};
  if (error.category() == std::system_category() || error.category() == std::generic_category()) {
    // strerror's words follow the locale.
    if (const char* description = ::strerrordesc_np(error.value())) return description;
  }
  return error.message();
}

std::string Reason::Text(std::string_view translated, std::string_view causeDescribed) const {
  if (!cause) return Filled(translated, words);
  std::vector<std::string> all = words;
  all.emplace_back(causeDescribed);
  return Filled(translated, all);
}

}  // namespace quobrel
