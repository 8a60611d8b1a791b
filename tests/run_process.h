#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quobrel::testing {

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Runs a program with the arguments and the bytes on its standard input; waits for it.
// `inChild` runs in the new process just before the program starts (to set its limits).
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::function<void()>& inChild = {});

}  // namespace quobrel::testing
