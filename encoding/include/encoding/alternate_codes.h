// Code page 932 and EUC-JP give some characters two or three codes, alternate codes: in
// code page 932 NEC's row 13, the IBM extensions and NEC's copy of them; in EUC-JP as ICU
// reads it, NEC's row 13 and the IBM extensions too, and codes of JIS X 0212 (8F A2 B7 for
// ～, which ICU writes as A1 C1). Decoding keeps only the character, and encoding always
// writes one of its codes; this remembers which code a file used for each occurrence, so
// that rewriting the file changes no byte the conversion did not change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "encoding/text_codec.h"

namespace quobrel {

// Whether the encoding gives some character more than one code.
constexpr bool HasAlternateCodes(TextEncoding encoding) {
  return encoding == TextEncoding::Cp932 || encoding == TextEncoding::EucJp;
}

class AlternateCodes {
 public:
  // A code of up to three bytes, its first byte highest: 0x8FA2B7 for 8F A2 B7.
  using Code = std::uint32_t;

 private:
  // Occurrences of one code in a row: a file that always uses the same code costs one.
  struct Run {
    Code code;
    std::size_t count;
  };

 public:
  AlternateCodes() = default;  // none
  // The codes of the characters with alternate codes in valid text of the encoding, in
  // order.
  static AlternateCodes Of(std::string_view bytes, TextEncoding encoding);
  // Adds those of the text that follows, in the same encoding.
  void Append(const AlternateCodes& later);

  bool empty() const { return uses_.empty(); }

  // Gives, over the pieces of a text in the encoding as ICU writes it, the k-th occurrence
  // of each such character the code of its k-th occurrence in the source, and occurrences
  // beyond those the code the source used most for it.
  class Restoration {
   public:
    explicit Restoration(const AlternateCodes& source);
    // The next piece, with where it holds codes of characters that have alternates (as
    // Encode notes them). The code put back may be longer than the one written (8F A2 B7
    // for A1 C1), and the piece with it.
    void Restore(std::string& bytes, const std::vector<std::size_t>& alternateCodesAt);

   private:
    struct Cursor {
      const std::vector<Run>* runs;  // the source's occurrences
      std::size_t run = 0;           // the run of the next occurrence
      std::size_t taken = 0;         // of that run
      Code mostUsed = 0;
    };
    TextEncoding encoding_;
    std::unordered_map<Code, Cursor> cursors_;
  };

  // For every code of more than one byte of an encoding that shares its character with
  // another such code, the code that Encode writes for that character; 0 for the other
  // codes.
  class CodeTable {
   public:
    void Set(Code code, Code standard);
    Code operator[](Code code) const;

   private:
    // Rows of 256 codes, by all bytes but the last, and only those that hold such a code:
    // two-byte codes by their first byte, then three-byte codes by their second (those of
    // EUC-JP all start with 8F, and code page 932 has none).
    static std::size_t Row(Code code);
    static constexpr std::size_t kNone = ~std::size_t{0};
    std::vector<std::vector<Code>> rows_;
  };
  // Built from the codec itself, once.
  static const CodeTable& StandardCodes(TextEncoding encoding);

 private:
  TextEncoding encoding_ = TextEncoding::Cp932;
  std::unordered_map<Code, std::vector<Run>> uses_;  // by the code ICU writes
};

}  // namespace quobrel
