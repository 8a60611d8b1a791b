// How a conversion produces its result: into a string of exactly the result's size,
// measured beforehand where it can differ from the text's, so that no conversion holds
// more memory than its result and the scan pays no growth checks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "internal/lanes.h"
#include "internal/yield_meter.h"

namespace quobrel::convert {

class TextWriter {
 public:
  explicit TextWriter(char16_t* out) : out_(out) {}
  void Put(char16_t c) { *out_++ = c; }
  void Put(Lanes lanes) {
    StoreLanes(out_, lanes);
    out_ += kLaneCount;
  }
  // For a scan that keeps the position in a register of its own.
  char16_t* Position() const { return out_; }
  void MoveTo(char16_t* position) { out_ = position; }
  void Copy(const char16_t* from, std::size_t count) { out_ = std::copy_n(from, count, out_); }
  // Writes two characters and keeps the first `count` of them (0, 1 or 2), so that a
  // scan can choose what it outputs without a branch; the result has room for this.
  void PutFirst(char16_t first, char16_t second, std::size_t count) {
    out_[0] = first;
    out_[1] = second;
    out_ += count;
  }

 private:
  char16_t* out_;
};

// Characters converted between two yields: a few microseconds of work.
inline constexpr std::size_t kYieldBlock = std::size_t{1} << 14;

// Converts the characters from `from` up to `to` of `text`: a group of eight at `i` in
// which `oneByOne(i)` marks no lane as a whole, by `convertLanes(lanes, writer)`; the
// others one by one, by `convertOne(i, writer)`.
template <class OneByOne, class ConvertLanes, class ConvertOne>
void ConvertBlock(std::u16string_view text, std::size_t from, std::size_t to, TextWriter& writer,
                  OneByOne oneByOne, ConvertLanes convertLanes, ConvertOne convertOne) {
  std::size_t i = from;
  while (i + kLaneCount <= to) {
    if (!AnyLaneSet(oneByOne(i))) {
      convertLanes(LoadLanes(text.data() + i), writer);
      i += kLaneCount;
      continue;
    }
    for (const std::size_t end = i + kLaneCount; i < end; ++i) convertOne(i, writer);
  }
  for (; i < to; ++i) convertOne(i, writer);
}

inline constexpr auto kUnchangedLanes = [](Lanes lanes, TextWriter& out) { out.Put(lanes); };

// Runs a conversion whose result has `resultLength` characters over `text`, block by
// block, owing one yield per character. `convertBlock(writer, from, to)` converts the
// characters from `from` up to `to`.
template <class BlockConverter>
std::u16string ProduceText(std::u16string_view text, std::size_t resultLength,
                           BlockConverter convertBlock) {
  std::u16string result(resultLength + 1, u'\0');  // one more for PutFirst's second
  TextWriter writer(result.data());
  const YieldMeter meter;
  for (std::size_t at = 0; at < text.size(); at += kYieldBlock) {
    const std::size_t to = std::min(text.size(), at + kYieldBlock);
    convertBlock(writer, at, to);
    meter.Report(to - at);
  }
  result.resize(resultLength);
  return result;
}

// Counts the characters for which `counts(i)` holds, looking only at the lanes that
// `candidates(i)` marks in the group of eight at `i`.
template <class Candidates, class Counts>
std::size_t CountWhere(std::u16string_view text, Candidates candidates, Counts counts) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + kLaneCount <= text.size(); i += kLaneCount) {
    ForEachSetLane(candidates(i), [&](std::size_t lane) { count += counts(i + lane); });
  }
  for (; i < text.size(); ++i) count += counts(i);
  return count;
}

}  // namespace quobrel::convert
