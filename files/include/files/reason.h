// Why a file was not done, for a person. Kept in English as a pattern, the words put into
// it and the error it comes of, so that a program can report it as it is and say it in its
// user's language too.
#pragma once

#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quobrel {

// `pattern` with each "{}" given the next of `words`, as far as they go.
template <class Words>
std::string Filled(std::string_view pattern, const Words& words) {
  std::string text;
  auto word = std::begin(words);
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    if (pattern.substr(at, 2) == "{}" && word != std::end(words)) {
      text += *word++;
      ++at;
    } else {
      text += pattern[at];
    }
  }
  return text;
}
inline std::string Filled(std::string_view pattern, std::initializer_list<std::string_view> words) {
  return Filled<std::initializer_list<std::string_view>>(pattern, words);
}

// Marks an English pattern for the translators; "{}" stands for each word in turn.
constexpr const char* English(const char* pattern) { return pattern; }

// What an error means, in English whatever the locale.
std::string Description(const std::error_code& error);

struct Reason {
  std::string pattern;
  std::vector<std::string> words = {};
  std::error_code cause = {};  // when set, its description is the last word

  // The pattern, or what stands for it, with the words and the cause's description put in.
  std::string Text(std::string_view translated, std::string_view causeDescribed) const;
  std::string Text() const { return Text(pattern, Description(cause)); }
};

// The error as the whole reason.
inline Reason ReasonOf(const std::error_code& error) { return {"{}", {}, error}; }

}  // namespace quobrel
