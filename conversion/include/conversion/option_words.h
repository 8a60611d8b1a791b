// The words that name the Convert command's choices, where text names them: quobrel-cli's
// option values and the Python module's keyword arguments.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "quobrel/quobrel.h"

namespace quobrel {

// A word, and the value it stands for.
template <class Value>
struct Choice {
  std::string_view name;
  Value value;
};

template <class Value>
std::vector<std::string_view> NamesOf(std::span<const Choice<Value>> choices) {
  std::vector<std::string_view> names;
  for (const Choice<Value>& choice : choices) names.push_back(choice.name);
  return names;
}

template <class Value>
std::optional<Value> Find(std::span<const Choice<Value>> choices, std::string_view name) {
  for (const Choice<Value>& choice : choices) {
    if (choice.name == name) return choice.value;
  }
  return std::nullopt;
}

// Digits, letters, symbols and katakana alike.
inline constexpr Choice<Width> kWidthWords[] = {
    {"full", Width::Full}, {"half", Width::Half}, {"none", Width::Keep}};
inline constexpr Choice<LetterCase> kLetterCaseWords[] = {
    {"upper", LetterCase::Upper},
    {"lower", LetterCase::Lower},
    {"upper-full", LetterCase::UpperFullWidth},
    {"lower-full", LetterCase::LowerFullWidth},
    {"upper-half", LetterCase::UpperHalfWidth},
    {"lower-half", LetterCase::LowerHalfWidth},
    {"none", LetterCase::Keep}};
inline constexpr Choice<Spaces> kSpacesWords[] = {{"pair", Spaces::PairsToFull},
                                                  {"full", Spaces::AllToFull},
                                                  {"half", Spaces::AllToHalf},
                                                  {"none", Spaces::Keep}};
inline constexpr Choice<Script> kScriptWords[] = {
    {"hiragana", Script::Hiragana}, {"katakana", Script::Katakana}, {"none", Script::Keep}};

}  // namespace quobrel
