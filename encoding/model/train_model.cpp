// Trains the model of Japanese text that tells encodings apart: counts the characters of
// the training pages and the classes that follow each other, and prints the table of
// their costs, japanese_text_model.inc.
//   train-model PAGE...   (manual pages in UTF-8; the held-out ones are left out)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "encoding/model/manual_pages.h"
#include "encoding/text_codec.h"
#include "internal/japanese_text_model.h"

namespace {

using namespace quobrel;

constexpr auto kClasses = kCharacterClassCount;
// Every unlikely character costs this much: too rare in the pages to count.
constexpr int kUnlikelyCost = 32 * kUnitsPerBit;

int Cost(double probability) {
  return std::clamp(static_cast<int>(std::lround(-std::log2(probability) * kUnitsPerBit)), 1, 255);
}

}  // namespace

int main(int argc, char** argv) {
  std::map<char32_t, long> characters;
  long following[kClasses][kClasses] = {};
  long ofClass[kClasses] = {};
  long katakanaPairs[kKatakanaBlock][kKatakanaBlock] = {};
  long pages = 0;
  for (int i = 1; i < argc; ++i) {
    if (manual_pages::IsHeldOut(argv[i])) continue;
    const auto text = Decode(manual_pages::TextOfPage(argv[i]), TextEncoding::Utf8);
    if (!text) continue;
    ++pages;
    ForEachCharacter(*text, [&](CharacterClass previous, CharacterClass of, char32_t c,
                                char32_t previousCharacter) {
      ++following[static_cast<std::size_t>(previous)][static_cast<std::size_t>(of)];
      ++ofClass[static_cast<std::size_t>(of)];
      ++characters[c];
      if (IsInKatakanaBlock(c) && IsInKatakanaBlock(previousCharacter)) {
        ++katakanaPairs[previousCharacter - kKatakanaFirst][c - kKatakanaFirst];
      }
    });
  }
  long classSize[kClasses] = {};
  for (char32_t c = 0; c <= 0xFFFF; ++c) ++classSize[static_cast<std::size_t>(ClassOf(c))];

  std::printf(
      "// The model of Japanese text, trained on %ld Japanese manual pages by\n"
      "// encoding/model/train; do not edit. Costs are in quarter bits of surprisal.\n\n",
      pages);
  std::printf(
      "// The cost of a class after a class (rows): a twentieth of the chances spread\n"
      "// evenly, as text of other subjects has more of what the pages rarely do.\n");
  std::printf("constexpr std::uint8_t kClassFollowingCost[][kCharacterClassCount] = {\n");
  for (std::size_t from = 0; from < kClasses; ++from) {
    // A text, or a piece of one, may start anywhere in a sentence: what starts it, or
    // follows a line break, is costed by how often each class occurs at all.
    const long* const counts =
        from == static_cast<std::size_t>(CharacterClass::LineBreak) ? ofClass : following[from];
    long all = 0;
    for (std::size_t to = 0; to < kClasses; ++to) all += counts[to];
    std::printf("    {");
    for (std::size_t to = 0; to < kClasses; ++to) {
      std::printf("%s%3d", to ? ", " : "",
                  Cost(0.95 * static_cast<double>(counts[to]) / static_cast<double>(all) +
                       0.05 / kClasses));
    }
    std::printf("},\n");
  }
  std::printf("};\n\n");
  // Within a class, a tenth of the chances is spread evenly, for the text of other
  // subjects than the pages have.
  const auto withinClass = [&](long count, std::size_t k) {
    const double seen = ofClass[k] > 0 ? static_cast<double>(count) / ofClass[k] : 0;
    return 0.9 * seen + 0.1 / static_cast<double>(classSize[k]);
  };
  std::printf("// The cost of a character of each class not in the table below.\n");
  std::printf("constexpr std::uint8_t kUnseenCharacterCost[] = {");
  for (std::size_t k = 0; k < kClasses; ++k) {
    const bool unlikely = k == static_cast<std::size_t>(CharacterClass::Unlikely);
    std::printf("%s%d", k ? ", " : "", unlikely ? kUnlikelyCost : Cost(withinClass(0, k)));
  }
  std::printf("};\n\n");
  std::printf("// The cost of each character seen, within its class.\n");
  std::printf("constexpr CharacterCost kSeenCharacterCosts[] = {");
  int column = 0;
  for (const auto& [c, count] : characters) {
    const auto k = static_cast<std::size_t>(ClassOf(c));
    if (c > 0xFFFF || k == static_cast<std::size_t>(CharacterClass::Unlikely)) continue;
    std::printf("%s{0x%04X, %3d},", column++ % 6 ? " " : "\n    ", static_cast<unsigned>(c),
                Cost(withinClass(count, k)));
  }
  std::printf("\n};\n");
  std::printf(
      "\n// The cost of a katakana after a katakana (rows), within its class: the\n"
      "// chances of that pair, a fifth of them spread as the characters alone are.\n");
  std::printf("constexpr std::uint8_t kKatakanaFollowingCost[][kKatakanaBlock] = {\n");
  for (char32_t from = 0; from < kKatakanaBlock; ++from) {
    long all = 0;
    for (char32_t to = 0; to < kKatakanaBlock; ++to) all += katakanaPairs[from][to];
    std::printf("    {");
    for (char32_t to = 0; to < kKatakanaBlock; ++to) {
      const auto c = kKatakanaFirst + to;
      const auto k = static_cast<std::size_t>(CharacterClass::Katakana);
      const double alone = withinClass(characters.count(c) ? characters[c] : 0, k);
      const double pair = all > 0 ? static_cast<double>(katakanaPairs[from][to]) / all : alone;
      std::printf("%s%s%3d", to ? "," : "", to && to % 16 == 0 ? "\n     " : " ",
                  Cost(0.8 * pair + 0.2 * alone));
    }
    std::printf("},\n");
  }
  std::printf("};\n");
  std::fprintf(stderr, "%ld pages, %zu characters\n", pages, characters.size());
}
