#pragma once

#include <string>
#include <vector>

namespace quobrel::testing {

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Runs a program with the arguments and the bytes on its standard input; waits for it.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input);

}  // namespace quobrel::testing
