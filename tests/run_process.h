#pragma once

#include <sys/types.h>

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

// Starts the program with its output thrown away, and returns at once with its process ID.
pid_t StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::function<void()>& inChild = {});

// Waits for the process; its exit status, or -1 when a signal ended it.
int WaitForExit(pid_t process);

}  // namespace quobrel::testing
