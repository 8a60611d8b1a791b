// Telling a file's encoding from its bytes: UTF-8, code page 932 or EUC-JP.
//
// A text that only one of them decodes is in that one, and a text of ASCII only reads
// alike in all. A text that more than one decodes is decided only on decisive evidence:
//  1. UTF-8, when its UTF-8 reading has more characters of three or four bytes than of
//     two. Japanese in UTF-8 is three-byte characters; the bytes of code page 932 or
//     EUC-JP that happen to be valid UTF-8 (half-width katakana, mostly) read as two-byte
//     Latin, Greek or Cyrillic letters, if at all.
//  2. Otherwise the reading that looks most like Japanese text, when it clearly does and
//     the others do not. Counting for a reading: each kana, common Japanese punctuation
//     mark, and half-width (semi-)voiced mark after a letter that takes it. Counting
//     against it: each character that such misreadings produce and Japanese text hardly
//     has: Latin, Greek and other letters of two-byte UTF-8, kanji of JIS level 2, a
//     half-width (semi-)voiced mark after a letter that does not take it, private-use
//     characters and control codes. The best reading is taken when its score is two or
//     more and over four times that of the next: one character decides nothing.
// Anything else is left undecided, with the encodings that decode it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/text_codec.h"

namespace quobrel {

struct Detection {
  std::optional<TextEncoding> encoding;  // decided; nothing when ASCII only or undecided
  std::u16string text;                   // the text, read in every encoding that reads it
  bool asciiOnly = false;
  std::vector<TextEncoding> candidates;  // undecided: those that decode it; none: invalid
};

Detection DetectEncoding(std::string_view bytes);

}  // namespace quobrel
