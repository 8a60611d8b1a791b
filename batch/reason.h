// Why a file was not done, for a person. Kept in English as a pattern and the words put
// into it, so that a program can report it as it is and say it in its user's language too.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quobrel {

// Marks an English pattern for the translators; "{}" stands for each word in turn.
constexpr const char* English(const char* pattern) { return pattern; }

struct Reason {
  std::string pattern;
  std::vector<std::string> words = {};
  // The pattern is the C library's own description of an error number: its
  // translations are the C library's.
  bool fromSystem = false;

  // The pattern, or what stands for it, with the words put in.
  std::string Text(std::string_view translated) const;
  std::string Text() const { return Text(pattern); }
};

// What an error means, in English whatever the locale.
Reason ReasonOf(const std::error_code& error);

}  // namespace quobrel
