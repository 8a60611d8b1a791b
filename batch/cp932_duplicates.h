// Code page 932 gives some characters two or three codes: NEC's row 13, the IBM
// extensions and NEC's copy of them. Decoding keeps only the character, and encoding
// always writes one of its codes; this remembers which code a file used for each
// occurrence, so that rewriting the file changes no byte the conversion did not change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quobrel {

class Cp932Duplicates {
 public:
  // The codes of the duplicate-coded characters of valid code page 932 text, in order.
  static Cp932Duplicates Of(std::string_view bytes);

  // Gives the k-th occurrence of each such character in `bytes` (code page 932 as ICU
  // writes it) the code of its k-th occurrence in the source, and occurrences beyond
  // those the code the source used most for it.
  void Restore(std::string& bytes) const;

  // Every code that shares its character with another code, each with the code that ICU
  // writes for that character.
  static const std::unordered_map<std::uint16_t, std::uint16_t>& Table();

 private:
  struct Uses {
    std::vector<std::uint16_t> codes;  // occurrence by occurrence
    std::uint16_t mostUsed = 0;
  };
  std::unordered_map<std::uint16_t, Uses> uses_;  // by the code ICU writes
};

}  // namespace quobrel
