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

#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "encoding/text_codec.h"

namespace quobrel {

struct Detection {
  std::optional<TextEncoding> encoding;  // decided; nothing when ASCII only or undecided
  bool asciiOnly = false;
  std::vector<TextEncoding> candidates;  // undecided: those that decode it; none: invalid
};

// The evidence of a text given piece by piece, each cut just after a line break.
class EncodingSurvey {
 public:
  // What one piece shows, read in some of the encodings.
  struct Evidence {
    struct Reading {
      bool read = false;  // in this encoding
      bool valid = true;
      long score = 0;        // how Japanese the reading looks
      long wideBalance = 0;  // UTF-8: three- and four-byte characters less two-byte ones
    };
    bool ascii = true;
    Reading readings[std::size(kAllEncodings)];
  };
  // Weighs a piece in `readers`, on any thread.
  static Evidence Weigh(std::string_view piece, const std::vector<TextEncoding>& readers);

  // The encodings that read every piece so far.
  std::vector<TextEncoding> Possible() const;
  // Those of them to weigh the next pieces in. When only one is left, later
  // pieces cannot change the decision but by being invalid in it, which converting them
  // shows; none are left then to weigh them in.
  std::vector<TextEncoding> Readers() const;
  // The pieces' evidence in order, each weighed in Readers() as they were when it was
  // cut, or more.
  void Add(const Evidence& evidence);
  void Add(std::string_view piece) { Add(Weigh(piece, Readers())); }
  Detection Result() const;

 private:
  bool Settled() const;

  Evidence total_;  // its readings' `read` unused
};

Detection DetectEncoding(std::string_view bytes);

}  // namespace quobrel
