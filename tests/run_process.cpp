#include "run_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quobrel::testing {
namespace {

// A temporary file, removed again when the object goes.
struct TempFile {
  std::string path;
  TempFile() {
    char name[] = "/tmp/quobrel-test-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path = name;
  }
  ~TempFile() { std::remove(path.c_str()); }
  std::string Read() const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::function<void()>& inChild) {
  TempFile in, out, err;
  std::ofstream(in.path, std::ios::binary) << input;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int fds[] = {open(in.path.c_str(), O_RDONLY), open(out.path.c_str(), O_WRONLY),
                       open(err.path.c_str(), O_WRONLY)};
    for (int target = 0; target < 3; ++target) dup2(fds[target], target);
    if (inChild) inChild();
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out.Read(), err.Read()};
}

}  // namespace quobrel::testing
