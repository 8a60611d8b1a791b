#include "internal/case_folding.h"

#include <unicode/uchar.h>

#include <array>
#include <memory>

namespace quobrel::convert {
namespace {

using BmpFolding = std::array<char16_t, 0x10000>;

std::unique_ptr<BmpFolding> MakeBmpFolding() {
  auto table = std::make_unique<BmpFolding>();
  for (char32_t c = 0; c < table->size(); ++c) {
    const UChar32 folded = u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT);
    // Simple folding keeps every BMP character in the BMP; guard the table regardless.
    (*table)[c] = static_cast<char16_t>(folded <= 0xFFFF ? folded : static_cast<UChar32>(c));
  }
  return table;
}

}  // namespace

char32_t FoldCase(char32_t codePoint) {
  static const std::unique_ptr<BmpFolding> bmp = MakeBmpFolding();
  if (codePoint <= 0xFFFF) return (*bmp)[codePoint];
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(codePoint), U_FOLD_CASE_DEFAULT));
}

}  // namespace quobrel::convert
