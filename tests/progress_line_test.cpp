// The progress line a batch shows on a terminal, with a clock the test turns.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <string>

namespace quobrel::cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressLine, ShowsOnlyForALongBatchAndWipesItselfAtTheEnd) {
  std::string terminal;
  const ProgressLine::Clock::time_point start;
  {
    ProgressLine line([&](const std::string& text) { terminal += text; }, start);
    line.Show({0, 10, 0, {}}, start + 500ms);
    EXPECT_EQ(terminal, "");  // a short batch shows nothing
    line.Show({3, 10, 4'000'000, {}}, start + 2s);
    EXPECT_EQ(terminal, "\r3/10 files, 2.0 MB/s\x1b[K");
    terminal.clear();
    line.Show({4, 10, 4'100'000, {}}, start + 2s + 100ms);
    EXPECT_EQ(terminal, "");  // drawn a few times a second, not at every file
    line.Show({9, 10, 9'000'000, {}}, start + 3s);
    EXPECT_EQ(terminal, "\r9/10 files, 3.0 MB/s\x1b[K");
    terminal.clear();
  }
  EXPECT_EQ(terminal, "\r\x1b[K");

  terminal.clear();
  {
    ProgressLine unseen([&](const std::string& text) { terminal += text; }, start);
  }
  EXPECT_EQ(terminal, "");
}

}  // namespace
}  // namespace quobrel::cli
