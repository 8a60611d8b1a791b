// Counting a text's characters as its reader sees them.
#pragma once

#include <cstddef>
#include <string_view>

namespace quobrel {

// The code points of the text: a surrogate pair is one character, and so is a surrogate
// without its pair. ｶﾞ is two (the kana and its mark), CR LF two.
std::size_t CountCharacters(std::u16string_view text);

}  // namespace quobrel
