// Throughput and memory of the engine and the Convert command, beside a plain memcpy of
// the same text. Usage: quobrel-bench [CORPUS.txt (UTF-8)]...
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "batch/file_batch.h"
#include "conversion/convert_command.h"
#include "conversion/convert_options.h"
#include "conversion/file_commands.h"
#include "conversion/option_words.h"
#include "encoding/text_codec.h"
#include "engine/conversion_chain.h"
#include "engine/conversions.h"
#include "engine/yield_hook.h"

// Every allocation of the process is counted, on every thread, so that a measured call's
// peak is known.
namespace {
std::atomic<std::size_t> liveBytes = 0;
std::atomic<std::size_t> peakBytes = 0;
}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const std::size_t live = liveBytes += malloc_usable_size(block);
  for (std::size_t peak = peakBytes; live > peak && !peakBytes.compare_exchange_weak(peak, live);) {
  }
  return block;
}
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  liveBytes -= malloc_usable_size(block);
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

using namespace quobrel;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 11;

struct Measurement {
  double charsPerSecond;  // median
  std::size_t resultUnits;
  std::size_t extraBytes;  // peak allocation beyond the result's own buffer
};

// Times `run`, after `prepare` (untimed, and counted as part of the baseline).
Measurement Measure(const std::u16string& text, const std::function<std::u16string()>& run,
                    const std::function<void()>& prepare = {}) {
  std::vector<double> rates;
  Measurement m{};
  for (int i = 0; i < kRuns; ++i) {
    if (prepare) prepare();
    const std::size_t baseline = liveBytes;
    peakBytes = liveBytes.load();
    const auto start = Clock::now();
    const std::u16string result = run();
    const std::chrono::duration<double> seconds = Clock::now() - start;
    rates.push_back(double(text.size()) / seconds.count());
    m.resultUnits = result.size();
    const std::size_t resultBytes = (result.capacity() + 1) * sizeof(char16_t);
    m.extraBytes =
        std::max(m.extraBytes, peakBytes - baseline - std::min(peakBytes - baseline, resultBytes));
  }
  std::nth_element(rates.begin(), rates.begin() + kRuns / 2, rates.end());
  m.charsPerSecond = rates[kRuns / 2];
  return m;
}

// Japanese-looking text with every class the engine converts, in fixed proportions.
std::u16string MixedText(std::size_t length) {
  const std::u16string_view pieces[] = {u"日本語の文章を変換します。",
                                        u"ｶﾞｯｺｳ",
                                        u"ﾊﾟﾝ",
                                        u"ﾃｽﾄ",
                                        u"ﾞ",
                                        u"テスト",
                                        u"ガギグ",
                                        u"abcXYZ",
                                        u"ＡＢＣｘｙｚ",
                                        u"0123",
                                        u"０１２３",
                                        u"  ",
                                        u" ",
                                        u"　",
                                        u"\r\n",
                                        u"「かぎかっこ」",
                                        u"漢字",
                                        u"ひらがな",
                                        u"、",
                                        u"。"};
  std::mt19937 random(42);
  std::u16string text;
  while (text.size() < length) text += pieces[random() % std::size(pieces)];
  text.resize(length);
  return text;
}

// The start-up selection, each choice of each option made from it in turn (as
// quobrel-cli's words name them), and every class to full width or to half width at once.
std::vector<std::pair<std::string, Options>> OptionSets() {
  std::vector<std::pair<std::string, Options>> sets{{"start-up", Options{}}};
  auto vary = [&](const char* option, const auto& words, auto Options::*field) {
    for (const auto& word : words) {
      Options options;
      if (options.*field == word.value) continue;
      options.*field = word.value;
      sets.emplace_back(std::string(option) + "=" + std::string(word.name), options);
    }
  };
  vary("digits", kWidthWords, &Options::digits);
  vary("letters", kWidthWords, &Options::letters);
  vary("symbols", kWidthWords, &Options::symbols);
  vary("katakana", kWidthWords, &Options::katakana);
  vary("kana", kScriptWords, &Options::kana);
  vary("case", kLetterCaseWords, &Options::letterCase);
  vary("spaces", kSpacesWords, &Options::spaces);
  sets.emplace_back("all to full width",
                    Options{Width::Full, Width::Full, Width::Full, Width::Full, Script::Keep,
                            LetterCase::Keep, Spaces::AllToFull});
  sets.emplace_back("all to half width",
                    Options{Width::Half, Width::Half, Width::Half, Width::Half, Script::Keep,
                            LetterCase::Keep, Spaces::AllToHalf});
  return sets;
}

void Report(const char* corpus, const std::u16string& text) {
  std::printf("\n%s: %zu UTF-16 characters\n", corpus, text.size());
  std::printf("%-42s %12s %10s %16s\n", "", "Mchar/s", "x memcpy", "extra bytes");

  const Measurement copy = Measure(text, [&] { return std::u16string(text); });
  auto row = [&](const char* name, const std::function<std::u16string()>& run,
                 const std::function<void()>& prepare = {}) {
    const Measurement m = Measure(text, run, prepare);
    std::printf("%-42s %12.0f %10.2f %16zu\n", name, m.charsPerSecond / 1e6,
                m.charsPerSecond / copy.charsPerSecond, m.extraBytes);
  };
  std::printf("%-42s %12.0f %10.2f\n", "memcpy (copy of the text)", copy.charsPerSecond / 1e6, 1.0);

  using namespace convert;
  constexpr WidthClasses kKatakana{.katakana = true};
  constexpr WidthClasses kDigitsLettersKatakana{.digits = true, .letters = true, .katakana = true};
  row("ToFullWidth katakana", [&] { return ToFullWidth(text, kKatakana); });
  row("ToFullWidth digits letters katakana",
      [&] { return ToFullWidth(text, kDigitsLettersKatakana); });
  {
    // What the window's hook costs when it finds nothing due: a look at the clock.
    auto lastPump = Clock::now();
    const ScopedYieldHook hook([&lastPump](std::size_t) {
      if (Clock::now() - lastPump > std::chrono::milliseconds(10)) lastPump = Clock::now();
    });
    row("ToFullWidth katakana, window's yield hook", [&] { return ToFullWidth(text, kKatakana); });
  }
  row("ToHalfWidth katakana", [&] { return ToHalfWidth(text, kKatakana); });
  row("ToHalfWidth digits letters katakana",
      [&] { return ToHalfWidth(text, kDigitsLettersKatakana); });
  row("ConvertLetterCase all upper", [&] {
    return ConvertLetterCase(text, {.halfWidth = true, .fullWidth = true, .toUpper = true});
  });
  row("ConvertSpaces pairs to full",
      [&] { return ConvertSpaces(text, SpaceMode::PairsToFullWidth); });
  row("ConvertSpaces all to full", [&] { return ConvertSpaces(text, SpaceMode::AllToFullWidth); });
  row("ReplaceAll \"ﾃﾞ\" exact",
      [&] { return ReplaceAll(text, u"ﾃﾞ", u"デ", CompareMode::Exact).text; });
  row("ReplaceAll \"the\" ignoring case",
      [&] { return ReplaceAll(text, u"the", u"THE", CompareMode::IgnoreCase).text; });
  row("ReplaceAll \"ﾌｧｲﾙ\" ignoring case",
      [&] { return ReplaceAll(text, u"ﾌｧｲﾙ", u"ファイル", CompareMode::IgnoreCase).text; });

  // The whole chain: step by step, as the window's text tab runs it, and fused, for the
  // start-up selection and for each choice the window offers made from it, one at a time.
  const Options startUp;
  row("Chain step by step, start-up", [&] { return ConvertStepByStep(text, ChainOf(startUp)); });
  // Fused, into a buffer made beforehand: the pass, apart from the allocator.
  std::vector<char16_t> buffer(FusedChain::RoomFor(text.size()));
  for (const auto& [name, set] : OptionSets()) {
    const Options& options = set;  // a lambda may not take a structured binding
    row(("Fused chain, " + name).c_str(),
        [&] {
          buffer.resize(FusedChain(ChainOf(options)).Convert(text, buffer.data()));
          return std::u16string();
        },
        [&] { buffer.resize(FusedChain::RoomFor(text.size())); });
  }
  // UTF-8 in and out in pieces cut after line breaks, as a stream takes them: decoded,
  // fused and encoded, or fused on UTF-8 as it is, which the streams choose where the chain
  // is quicker so (the start-up selection, katakana=half; not the others below).
  const std::string bytes = *Encode(text, TextEncoding::Utf8);
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t cut = bytes.find('\n', std::min(bytes.size(), start + (128 << 10)));
    const std::size_t end = cut == std::string::npos ? bytes.size() : cut + 1;
    pieces.push_back(std::string_view(bytes).substr(start, end - start));
    start = end;
  }
  for (const auto& [name, set] : OptionSets()) {
    if (name != "start-up" && name != "katakana=half" && name != "letters=full" &&
        name != "case=upper" && name != "all to full width" && name != "all to half width")
      continue;
    const FusedChain chain(ChainOf(set));
    row(("UTF-8 pieces through UTF-16, " + name).c_str(), [&] {
      for (std::string_view piece : pieces) {
        const std::u16string converted = chain.Convert(*Decode(piece, TextEncoding::Utf8));
        if (Encode(converted, TextEncoding::Utf8)->empty()) std::abort();
      }
      return std::u16string();
    });
    row(("UTF-8 pieces fused directly, " + name).c_str(), [&] {
      for (std::string_view piece : pieces) {
        if (!IsValidUtf8(piece) || chain.ConvertUtf8(piece).empty()) std::abort();
      }
      return std::u16string();
    });
  }
}

// A batch's view that shows nothing, and times how long the batch goes without yielding,
// as a window's event loop would wait.
class Unseen : public BatchView {
 public:
  void SetStatusLine(std::size_t, const StatusLine&) override { Yield(); }
  std::optional<std::filesystem::path> OutputFolder() override { return std::nullopt; }
  void Yield() override {
    const auto now = Clock::now();
    longestWait = std::max(longestWait, std::chrono::duration<double>(now - last_).count());
    last_ = now;
  }
  bool Stopping() override { return false; }
  void Start() {
    last_ = Clock::now();
    longestWait = 0;
  }

  double longestWait = 0;  // seconds

 private:
  Clock::time_point last_;
};

// The conversion batch, with the start-up selection, in place over files made of the
// corpus's lines that code page 932 can hold: many small files, then one large one.
void ReportFiles(const std::u16string& corpus) {
  namespace fs = std::filesystem;
  std::string cp932;
  for (std::size_t at = 0; at < corpus.size();) {  // the manual pages end their lines in LF
    const std::size_t end = std::min(corpus.find(u'\n', at), corpus.size());
    const auto encoded =
        Encode(std::u16string_view(corpus).substr(at, end - at), TextEncoding::Cp932);
    if (encoded) cp932.append(*encoded).append("\r\n");
    at = end + 1;
  }
  if (cp932.empty()) return;
  const fs::path folder = fs::temp_directory_path() / ("quobrel-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  auto write = [&](const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  };

  const BatchCommand convert{[] { return ConvertingCommand(Options{}); }};
  Unseen view;
  auto run = [&](const std::vector<fs::path>& paths) {
    std::vector<ListedFile> files;
    files.reserve(paths.size());
    for (const fs::path& path : paths) files.push_back(ListedFile::Named(path));
    view.Start();
    const auto start = Clock::now();
    RunFileBatch(files, convert, {TextEncoding::Cp932, TextEncoding::Cp932, LineBreakRule::Lines},
                 view);
    return std::chrono::duration<double>(Clock::now() - start).count();
  };

  std::vector<fs::path> small;
  std::size_t smallBytes = 0;
  for (std::size_t at = 0; small.size() < 2000;) {
    std::size_t end = cp932.find('\n', at + 5000);
    end = end == std::string::npos ? cp932.size() : end + 1;
    const fs::path path = folder / ("file" + std::to_string(small.size()) + ".txt");
    write(path, std::string_view(cp932).substr(at, end - at));
    smallBytes += end - at;
    small.push_back(path);
    at = end < cp932.size() ? end : 0;
  }
  const double smallSeconds = run(small);
  std::printf("\nFile conversion, start-up selection, in place, code page 932:\n");
  std::printf("%zu files of %.1f KB on average: %.0f files/s, %.1f MB/s\n", small.size(),
              smallBytes / 1e3 / small.size(), small.size() / smallSeconds,
              smallBytes / 1e6 / smallSeconds);
  std::printf("longest time the batch went without yielding to the window: %.0f ms\n",
              view.longestWait * 1e3);

  std::string large;
  while (large.size() < 100'000'000) large += cp932;
  const fs::path big = folder / "large.txt";
  write(big, large);
  const std::size_t baseline = liveBytes;
  peakBytes = liveBytes.load();
  const double largeSeconds = run({big});
  std::printf("one file of %.1f MB: %.1f MB/s, peak memory %.0f MB (%.2f times the file)\n",
              large.size() / 1e6, large.size() / 1e6 / largeSeconds, (peakBytes - baseline) / 1e6,
              double(peakBytes - baseline) / large.size());
  std::printf("longest time the batch went without yielding to the window: %.0f ms\n",
              view.longestWait * 1e3);
  fs::remove_all(folder);
}

std::u16string ReadUtf8(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  auto decoded = Decode(bytes, TextEncoding::Utf8);
  if (!in || !decoded) {
    std::fprintf(stderr, "quobrel-bench: cannot read %s as UTF-8\n", path);
    std::exit(1);
  }
  return *std::move(decoded);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) Report(argv[i], ReadUtf8(argv[i]));
  Report("generated mixed text", MixedText(std::size_t{16} << 20));
  if (argc > 1) ReportFiles(ReadUtf8(argv[1]));
}
