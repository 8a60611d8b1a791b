#include "batch/reason.h"

#include <string.h>

namespace quobrel {

Reason ReasonOf(const std::error_code& error) {
  if (error.category() == std::system_category() || error.category() == std::generic_category()) {
    // strerror's words in the locale would differ from run to run.
    if (const char* description = ::strerrordesc_np(error.value())) return {description, {}, true};
  }
  return {error.message(), {}, false};
}

}  // namespace quobrel
