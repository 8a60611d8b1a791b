#pragma once

namespace quobrel::convert {

// Unicode simple case folding (ICU's default options) of one code point; the characters
// of the Basic Multilingual Plane come from a table built on first use.
char32_t FoldCase(char32_t codePoint);

}  // namespace quobrel::convert
