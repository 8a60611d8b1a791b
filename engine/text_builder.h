// How a conversion produces its result: it runs once against a LengthCounter to learn the
// exact size and once against a TextWriter into a string of that size, so that no
// conversion holds more memory than its result, and the scan pays no growth checks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "yield_meter.h"

namespace quobrel::Pembo95 {

class LengthCounter {
 public:
  void Put(char16_t) { ++length_; }
  void Copy(const char16_t*, std::size_t count) { length_ += count; }
  std::size_t length() const { return length_; }

 private:
  std::size_t length_ = 0;
};

class TextWriter {
 public:
  explicit TextWriter(char16_t* out) : out_(out) {}
  void Put(char16_t c) { *out_++ = c; }
  void Copy(const char16_t* from, std::size_t count) { out_ = std::copy_n(from, count, out_); }

 private:
  char16_t* out_;
};

// Characters converted between two yields: a few microseconds of work.
inline constexpr std::size_t kYieldBlock = std::size_t{1} << 14;

// Runs a conversion over a text of `length` characters. `Converter` is copied for each
// pass, so state it carries across blocks starts afresh; its call operator converts the
// characters from `from` up to `to` into the sink and returns where it stopped (it may
// take one character past `to`). The writing pass owes one yield per character.
template <class Converter>
std::u16string ProduceText(std::size_t length, const Converter& converter,
                           bool resultHasTextLength = false) {
  std::size_t resultLength = length;
  if (!resultHasTextLength) {
    LengthCounter counter;
    Converter measuring = converter;
    measuring(counter, 0, length);
    resultLength = counter.length();
  }
  std::u16string result(resultLength, u'\0');
  TextWriter writer(result.data());
  Converter writing = converter;
  YieldMeter meter;
  for (std::size_t at = 0; at < length;) {
    const std::size_t next = writing(writer, at, std::min(length, at + kYieldBlock));
    meter.Report(next - at);
    at = next;
  }
  return result;
}

}  // namespace quobrel::Pembo95
