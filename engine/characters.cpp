#include "engine/characters.h"

#include <unicode/ustring.h>

namespace quobrel {

std::size_t CountCharacters(std::u16string_view text) {
  return static_cast<std::size_t>(u_countChar32(text.data(), static_cast<int32_t>(text.size())));
}

}  // namespace quobrel
