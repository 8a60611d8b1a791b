#include <cstddef>

#include "engine/conversions.h"
#include "engine/internal/substring_finder.h"
#include "engine/internal/text_builder.h"

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
                    std::u16string_view replacement, const YieldMeter* meter) {
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
  return replacements;
}

}  // namespace

Replaced ReplaceAll(std::u16string_view text, std::u16string_view search,
                    std::u16string_view replacement, CompareMode mode) {
  const SubstringFinder finder(search, mode);
  std::size_t resultLength = text.size();
  if (replacement.size() != search.size()) {
    LengthCounter counter;
    Replace(counter, text, finder, replacement, nullptr);
    resultLength = counter.length();
  }
  Replaced result{std::u16string(resultLength, u'\0')};
  TextWriter writer(result.text.data());
  const YieldMeter meter;
  result.count = Replace(writer, text, finder, replacement, &meter);
  return result;
}

}  // namespace quobrel::convert
