// A temporary folder of files for the batches, run through the real quobrel-cli.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/run_process.h"
#include "tests/test_folder.h"

namespace quobrel::testing {

// Code page 932: ｶﾞｯｺｳ and ガッコウ. Nothing else reads the half-width bytes.
inline const std::string kHalfKana = "\xB6\xDE\xAF\xBA\xB3";
inline const std::string kFullKana = "\x83\x4B\x83\x62\x83\x52\x83\x45";

class BatchFolder : public ::testing::Test, protected TestFolder {
 protected:
  void SetUp() override {
    MakeFolder(std::string("quobrel-batch-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { RemoveFolder(); }

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
};

}  // namespace quobrel::testing
