// Code page 932 gives some characters two or three codes, alternate codes: NEC's row 13, the IBM
// extensions and NEC's copy of them. Decoding keeps only the character, and encoding
// always writes one of its codes; this remembers which code a file used for each
// occurrence, so that rewriting the file changes no byte the conversion did not change.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quobrel {

class AlternateCodes {
  // Occurrences of one code in a row: a file that always uses the same code costs one.
  struct Run {
    std::uint16_t code;
    std::size_t count;
  };

 public:
  // The codes of the characters with alternate codes in valid code page 932 text, in order.
  static AlternateCodes Of(std::string_view bytes);
  // Adds those of the text that follows.
  void Append(const AlternateCodes& later);

  bool empty() const { return uses_.empty(); }

  // Gives, over the pieces of a text in code page 932 as ICU writes it, the k-th
  // occurrence of each such character the code of its k-th occurrence in the source, and
  // occurrences beyond those the code the source used most for it.
  class Restoration {
   public:
    explicit Restoration(const AlternateCodes& source);
    // The next piece, with where it holds codes of characters that have alternates (as
    // Encode notes them).
    void Restore(std::string& bytes, const std::vector<std::size_t>& alternateCodesAt);

   private:
    struct Cursor {
      const std::vector<Run>* runs;  // the source's occurrences
      std::size_t run = 0;           // the run of the next occurrence
      std::size_t taken = 0;         // of that run
      std::uint16_t mostUsed = 0;
    };
    std::unordered_map<std::uint16_t, Cursor> cursors_;
  };

  // For every code that shares its character with another code, the code that ICU writes
  // for that character; 0 for the other codes.
  static const std::array<std::uint16_t, 0x10000>& StandardCodes();

 private:
  std::unordered_map<std::uint16_t, std::vector<Run>> uses_;  // by the code ICU writes
};

}  // namespace quobrel
