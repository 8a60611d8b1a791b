// The fused conversion chain against its steps run one after the other: for every set of
// options and any text, the same units; and on the text in UTF-8 (by ICU, a lone surrogate
// as U+FFFD), the UTF-8 of what it makes of that text in UTF-16.
//
// The input: two bytes choose the options, then two bytes a unit: its page (ASCII and
// Latin-1, the kana, the half- and full-width forms, kanji, either half of a surrogate
// pair) and its place in the page.
#include <unicode/unistr.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "conversion/convert_options.h"
#include "engine/conversion_chain.h"
#include "fuzz/fuzz_check.h"

namespace quobrel {
namespace {

constexpr std::uint8_t kPages[] = {0x00, 0x30, 0xFF, 0x4E, 0xD8, 0xDC};

Options OptionsOf(unsigned choice) {
  auto next = [&choice](unsigned count) {
    const unsigned value = choice % count;
    choice /= count;
    return value;
  };
  Options options;
  options.digits = static_cast<Width>(next(3));
  options.letters = static_cast<Width>(next(3));
  options.symbols = static_cast<Width>(next(3));
  options.katakana = static_cast<Width>(next(3));
  options.kana = static_cast<Script>(next(3));
  options.letterCase = static_cast<LetterCase>(next(7));
  options.spaces = static_cast<Spaces>(next(4));
  return options;
}

}  // namespace
}  // namespace quobrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quobrel;
  if (size < 2) return 0;
  const convert::ConversionChain chain = ChainOf(OptionsOf(data[0] | data[1] << 8));
  std::u16string text;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(kPages[data[i] % std::size(kPages)] << 8 | data[i + 1]);
  }
  const convert::FusedChain fused(chain);
  Check(fused.Convert(text) == convert::ConvertStepByStep(text, chain));

  std::string bytes;
  icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(bytes);
  const icu::UnicodeString read = icu::UnicodeString::fromUTF8(bytes);
  const std::u16string converted =
      fused.Convert(std::u16string_view(reinterpret_cast<const char16_t*>(read.getBuffer()),
                                        static_cast<std::size_t>(read.length())));
  std::string expected;
  icu::UnicodeString(false, converted.data(), static_cast<int32_t>(converted.size()))
      .toUTF8String(expected);
  Check(fused.ConvertUtf8(bytes) == expected);
  return 0;
}
