// How well files are told apart: each line of a UTF-8 text (with non-ASCII characters),
// and each whole file given, written in UTF-8, code page 932 and EUC-JP, and with its
// katakana half-width in code page 932, is handed to the detection. Prints, for each,
// how many were decided right, left undecided, and decided wrong.
//   detection-accuracy PAGE...   (UTF-8 files)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "encoding/encoding_detection.h"
#include "engine/conversions.h"

namespace {

using namespace quobrel;

struct Tally {
  long right = 0, undecided = 0, wrong = 0;
  void Add(const std::string& bytes, TextEncoding truth) {
    const Detection detection = DetectEncoding(bytes);
    if (detection.asciiOnly) return;
    if (!detection.encoding) {
      ++undecided;
    } else if (*detection.encoding == truth) {
      ++right;
    } else {
      ++wrong;
    }
  }
  void Print(const char* what) const {
    const double all = right + undecided + wrong;
    std::printf("  %-28s %8ld  right %6.2f%%  undecided %5.2f%%  wrong %5.3f%%\n", what,
                right + undecided + wrong, 100 * right / all, 100 * undecided / all,
                100 * wrong / all);
  }
};

struct Tallies {
  Tally utf8, cp932, eucJp, halfWidth;
  void Add(std::u16string_view text) {
    auto add = [](Tally& tally, std::u16string_view text, TextEncoding encoding) {
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
    cp932.Print("code page 932");
    eucJp.Print("EUC-JP");
    halfWidth.Print("code page 932, half-width");
  }
};

}  // namespace

int main(int argc, char** argv) {
  Tallies lines, files;
  std::set<std::u16string> seen;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const auto decoded = Decode(bytes, TextEncoding::Utf8);
    if (!decoded) continue;
    const std::u16string& page = *decoded;
    files.Add(page);
    for (std::size_t at = 0; at < page.size();) {
      const std::size_t end = std::min(page.find(u'\n', at), page.size());
      const std::u16string line = page.substr(at, end - at);
      if (seen.insert(line).second) lines.Add(line);
      at = end + 1;
    }
  }
  lines.Print("Distinct lines");
  files.Print("Whole files");
}
