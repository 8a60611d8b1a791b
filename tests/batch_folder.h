// A temporary folder of files for the batches, run through the real quobrel-cli.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/run_process.h"

namespace quobrel::testing {

namespace fs = std::filesystem;

// Code page 932: ｶﾞｯｺｳ and ガッコウ. Nothing else reads the half-width bytes.
inline const std::string kHalfKana = "\xB6\xDE\xAF\xBA\xB3";
inline const std::string kFullKana = "\x83\x4B\x83\x62\x83\x52\x83\x45";

class BatchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("quobrel-batch-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path Path(const std::string& name) const { return folder / name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The names in the folder, hidden temporary files included.
  std::vector<std::string> Names(const std::string& subfolder = "") const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / subfolder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  // quobrel-cli with the arguments; those after the command that are not options name
  // files of the folder.
  ProcessResult Cli(std::vector<std::string> arguments,
                    const std::function<void()>& inChild = {}) const {
    return RunProcess(QUOBREL_CLI_PATH, InFolder(std::move(arguments)), "", inChild);
  }
  std::vector<std::string> InFolder(std::vector<std::string> arguments) const {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      if (!arguments[i].starts_with("-")) arguments[i] = Path(arguments[i]);
    }
    return arguments;
  }

  fs::path folder;
};

}  // namespace quobrel::testing
