// Telling a file's encoding from its bytes: UTF-8, code page 932 or EUC-JP.
//
// A text that only one of them decodes is in that one, and a text of ASCII only reads
// alike in all. A text that more than one decodes is read in each, and each reading is
// weighed by how likely a Japanese text is to be it (internal/japanese_text_model.h): a
// misreading turns into level-2 kanji, half-width katakana in an order no word has, letters
// of scripts Japanese never mixes in, private-use characters or control codes. The
// likeliest reading is taken when it is likelier than every other by a clear margin;
// otherwise the text is left undecided, with the encodings that decode it. Where a text
// reads plausibly both ways (B1 B2 is 渦 in EUC-JP and ｱｲ in code page 932), no guess is
// made.
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
      long surprisal = 0;  // how unlikely Japanese text is to read so
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
