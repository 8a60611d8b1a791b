// A translation of single characters, looked up without branches: each character maps to
// itself plus a delta, optionally followed by a second character. The pages of 256
// characters that translate nothing all share page 0, so a map costs a few kilobytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "internal/character_classes.h"

namespace quobrel::convert {

class CharMap {
 public:
  struct Entry {
    char16_t delta = 0;   // added to the character, modulo 2^16
    char16_t second = 0;  // 0: the translation is one character
  };

  void Set(char16_t from, char16_t to, char16_t second = 0) {
    OwnPage(from)[from & 0xFF] = {static_cast<char16_t>(to - from), second};
  }

  void SetRange(CharRange range, int offset) {
    for (char16_t c = range.first; c <= range.last; ++c) Set(c, static_cast<char16_t>(c + offset));
  }

  CharMap() { pageOf_.fill(&pages_[0]); }
  CharMap(const CharMap&) = delete;
  CharMap& operator=(const CharMap&) = delete;

  const Entry& operator[](char16_t c) const { return (*pageOf_[c >> 8])[c & 0xFF]; }
  char16_t First(char16_t c) const { return static_cast<char16_t>(c + (*this)[c].delta); }

 private:
  using Page = std::array<Entry, 256>;
  // No conversion translates characters of more than three pages, nor does the whole chain:
  // ASCII with Latin-1, the kana, and the half- and full-width forms.
  static constexpr std::size_t kMaxOwnPages = 3;

  Page& OwnPage(char16_t c) {
    Page*& page = pageOf_[c >> 8];
    if (page == &pages_[0]) {
      if (pagesInUse_ == pages_.size()) throw std::logic_error("CharMap: too many pages");
      page = &pages_[pagesInUse_++];
    }
    return *page;
  }

  std::array<Page*, 256> pageOf_;
  std::array<Page, 1 + kMaxOwnPages> pages_{};
  std::uint8_t pagesInUse_ = 1;
};

}  // namespace quobrel::convert
