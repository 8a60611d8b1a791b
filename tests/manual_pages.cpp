#include "tests/manual_pages.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "tests/run_process.h"

namespace quobrel::testing {

std::string EveryTwentiethManualPage() {
  const std::filesystem::path root = "/usr/share/man/ja";
  std::vector<std::string> pages;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file() && it->path().extension() == ".gz") pages.push_back(it->path());
  }
  std::sort(pages.begin(), pages.end());
  std::vector<std::string> arguments{"-c"};
  for (std::size_t i = 0; i < pages.size(); i += 20) arguments.push_back(pages[i]);
  if (arguments.size() == 1) return {};
  const std::string text = RunProcess("/usr/bin/zcat", arguments, "").out;
  return RunProcess("/usr/bin/iconv", {"-c", "-f", "UTF-8", "-t", "UTF-8"}, text).out;
}

}  // namespace quobrel::testing
