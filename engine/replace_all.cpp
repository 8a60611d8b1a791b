#include <unicode/utf16.h>

#include <algorithm>
#include <cstddef>

#include "engine/conversions.h"
#include "internal/substring_finder.h"
#include "internal/text_builder.h"

namespace quobrel::convert {
namespace {

// Stands in for the writer while the result is measured.
class LengthCounter {
 public:
  void Copy(const char16_t*, std::size_t count) { length_ += count; }
  std::size_t length() const { return length_; }

 private:
  std::size_t length_ = 0;
};

// Writes `text` with every match replaced into the sink and returns the number of
// replacements. With a meter it owes one yield per search: one per replacement, and one
// more for the search that finds nothing while text is left. A long search reports to the
// meter once per block scanned, owing nothing yet, so that a window keeps turning.
template <class Sink>
std::size_t Replace(Sink& sink, std::u16string_view text, const SubstringFinder& finder,
                    std::u16string_view replacement, const YieldMeter* meter,
                    std::size_t* lastMatchEnd = nullptr) {
  std::size_t replacements = 0;
  std::size_t owed = 0;
  std::size_t reportedAt = 0;
  auto reportEachBlock = [&](std::size_t position) {
    if (meter == nullptr || position - reportedAt < kYieldBlock) return;
    meter->Report(owed);
    owed = 0;
    reportedAt = position;
  };
  std::size_t rest = 0;
  while (rest < text.size()) {
    ++owed;
    std::size_t match = std::u16string_view::npos;
    for (std::size_t from = rest; from < text.size();) {
      const std::size_t blockEnd = std::min(text.size(), from + kYieldBlock);
      match = finder.Find(text, from, blockEnd);
      if (match != std::u16string_view::npos) break;
      from = blockEnd;
      reportEachBlock(from);
    }
    if (match == std::u16string_view::npos) {
      sink.Copy(text.data() + rest, text.size() - rest);
      break;
    }
    sink.Copy(text.data() + rest, match - rest);
    sink.Copy(replacement.data(), replacement.size());
    ++replacements;
    rest = match + finder.length();
    reportEachBlock(rest);
  }
  if (meter != nullptr && owed > 0) meter->Report(owed);
  if (lastMatchEnd != nullptr) *lastMatchEnd = replacements > 0 ? rest : 0;
  return replacements;
}

// ReplaceAll, and where its last match ends (0 without one).
Replaced ReplaceMeasured(std::u16string_view text, const SubstringFinder& finder,
                         std::u16string_view replacement, std::size_t& lastMatchEnd) {
  std::size_t resultLength = text.size();
  if (replacement.size() != finder.length()) {
    LengthCounter counter;
    Replace(counter, text, finder, replacement, nullptr);
    resultLength = counter.length();
  }
  Replaced result{std::u16string(resultLength, u'\0')};
  TextWriter writer(result.text.data());
  const YieldMeter meter;
  result.count = Replace(writer, text, finder, replacement, &meter, &lastMatchEnd);
  return result;
}

}  // namespace

Replaced ReplaceAll(std::u16string_view text, std::u16string_view search,
                    std::u16string_view replacement, CompareMode mode) {
  std::size_t lastMatchEnd;
  return ReplaceMeasured(text, SubstringFinder(search, mode), replacement, lastMatchEnd);
}

ReplacedHead ReplaceAllButTail(std::u16string_view text, std::u16string_view search,
                               std::u16string_view replacement, CompareMode mode) {
  std::size_t lastMatchEnd = 0;
  Replaced replaced =
      ReplaceMeasured(text, SubstringFinder(search, mode), replacement, lastMatchEnd);
  // A match that starts in the tail would go on beyond the text: none was found there, and
  // the tail is at the end of the result as it was.
  const std::size_t tail = std::min(text.size(), search.size() - 1);
  std::size_t tailStart = std::max(lastMatchEnd, text.size() - tail);
  if (tailStart > lastMatchEnd && tailStart < text.size() && U16_IS_TRAIL(text[tailStart]) &&
      U16_IS_LEAD(text[tailStart - 1])) {
    --tailStart;
  }
  replaced.text.resize(replaced.text.size() - (text.size() - tailStart));
  return {std::move(replaced.text), replaced.count, tailStart};
}

}  // namespace quobrel::convert
