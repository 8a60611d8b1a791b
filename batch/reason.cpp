#include "batch/reason.h"

#include <string.h>

namespace quobrel {

std::string Reason::Text(std::string_view translated) const {
  std::string text;
  auto word = words.begin();
  for (std::size_t at = 0; at < translated.size(); ++at) {
    if (translated.substr(at, 2) == "{}" && word != words.end()) {
      text += *word++;
      ++at;
    } else {
      text += translated[at];
    }
  }
  return text;
}

Reason ReasonOf(const std::error_code& error) {
  if (error.category() == std::system_category() || error.category() == std::generic_category()) {
    // strerror's words in the locale would differ from run to run.
    if (const char* description = ::strerrordesc_np(error.value())) return {description, {}, true};
  }
  return {error.message(), {}, false};
}

}  // namespace quobrel
