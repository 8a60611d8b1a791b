// How well encodings are told apart, on Japanese manual pages the model was not trained
// on: each whole page, each distinct line with a non-ASCII character and strings of 1 to
// 10 characters cut from those lines, written in UTF-8, code page 932 and EUC-JP, and in
// code page 932 with half-width katakana. Prints, for each, how many were decided right,
// refused (left undecided) and decided wrong.
//   detection-accuracy [--training] [--wrong] [--refused] PAGE...
// --training measures on the pages the model was trained on instead; --wrong and
// --refused print each text decided wrong or refused.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "encoding/encoding_detection.h"
#include "encoding/model/manual_pages.h"
#include "engine/conversions.h"

namespace {

using namespace quobrel;

bool showWrong = false, showRefused = false;

struct Tally {
  long right = 0, refused = 0, wrong = 0;
  void Add(const std::string& bytes, TextEncoding truth) {
    const Detection detection = DetectEncoding(bytes);
    if (detection.asciiOnly) return;
    if (!detection.encoding) {
      ++refused;
      if (showRefused)
        std::printf("    refused %s: %s\n", EncodingName(truth).data(), bytes.c_str());
    } else if (*detection.encoding == truth) {
      ++right;
    } else {
      ++wrong;
      if (showWrong) {
        std::printf("    wrong: %s taken for %s: %s\n", EncodingName(truth).data(),
                    EncodingName(*detection.encoding).data(), bytes.substr(0, 200).c_str());
      }
    }
  }
  void Print(const char* what) const {
    const long all = right + refused + wrong;
    std::printf("  %-26s %8ld  right %6.2f%%  refused %5.2f%%  wrong %ld\n", what, all,
                100.0 * right / all, 100.0 * refused / all, wrong);
  }
};

struct Tallies {
  Tally utf8, cp932, eucJp, halfWidth;
  void Add(std::u16string_view text) {
    const auto add = [](Tally& tally, std::u16string_view text, TextEncoding encoding) {
      const auto encoded = Encode(text, encoding);
      if (encoded) tally.Add(*encoded, encoding);
    };
    add(utf8, text, TextEncoding::Utf8);
    add(cp932, text, TextEncoding::Cp932);
    add(eucJp, text, TextEncoding::EucJp);
    add(halfWidth, convert::ToHalfWidth(text, {.katakana = true}), TextEncoding::Cp932);
  }
  void Print(const char* unit) const {
    std::printf("%s:\n", unit);
    utf8.Print("UTF-8");
    cp932.Print("Shift_JIS");
    eucJp.Print("EUC-JP");
    halfWidth.Print("Shift_JIS, half-width kana");
  }
};

bool HasNonAscii(std::u16string_view text) {
  for (char16_t c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

// Strings of 1 to 10 characters, in turn, cut one after another from each word of a line.
void CutShortStrings(std::u16string_view line, std::size_t& length,
                     std::set<std::u16string>& strings) {
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t space = std::min(line.find(u' ', at), line.size());
    for (std::size_t from = at; from < space; from += length, length = length % 10 + 1) {
      const std::u16string_view string = line.substr(from, std::min(length, space - from));
      if (HasNonAscii(string)) strings.emplace(string);
    }
    at = space + 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool training = false;
  std::vector<const char*> pages;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--training") == 0) {
      training = true;
    } else if (std::strcmp(argv[i], "--wrong") == 0) {
      showWrong = true;
    } else if (std::strcmp(argv[i], "--refused") == 0) {
      showRefused = true;
    } else {
      pages.push_back(argv[i]);
    }
  }
  Tallies wholePages, lines, shortStrings;
  std::set<std::u16string> seenLines, strings;
  std::size_t length = 1;
  long pagesUsed = 0;
  for (const char* path : pages) {
    if (manual_pages::IsHeldOut(path) == training) continue;
    const auto page = Decode(manual_pages::TextOfPage(path), TextEncoding::Utf8);
    if (!page) continue;
    ++pagesUsed;
    wholePages.Add(*page);
    for (std::size_t at = 0; at < page->size();) {
      const std::size_t end = std::min(page->find(u'\n', at), page->size());
      const std::u16string line = page->substr(at, end - at);
      if (HasNonAscii(line) && seenLines.insert(line).second) {
        lines.Add(line);
        CutShortStrings(line, length, strings);
      }
      at = end + 1;
    }
  }
  for (const std::u16string& string : strings) shortStrings.Add(string);
  std::printf("%ld %s pages\n", pagesUsed, training ? "training" : "held-out");
  wholePages.Print("Whole pages");
  lines.Print("Distinct lines");
  shortStrings.Print("Strings of 1-10 characters");
}
