#include "tests/run_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "files/posix_file.h"

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

namespace {

// Replaces the child with the program, its standard streams the three descriptors.
[[noreturn]] void Exec(const std::string& program, const std::vector<std::string>& arguments,
                       const int (&streams)[3], const std::function<void()>& inChild) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  for (int target = 0; target < 3; ++target) dup2(streams[target], target);
  if (inChild) inChild();
  execv(program.c_str(), argv.data());
  _exit(127);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::function<void()>& inChild) {
  TempFile in, out, err;
  std::ofstream(in.path, std::ios::binary) << input;
  const pid_t child = fork();
  if (child == 0) {
    Exec(program, arguments,
         {open(in.path.c_str(), O_RDONLY), open(out.path.c_str(), O_WRONLY),
          open(err.path.c_str(), O_WRONLY)},
         inChild);
  }
  return {WaitForExit(child), out.Read(), err.Read()};
}

pid_t StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::function<void()>& inChild) {
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    Exec(program, arguments, {null, null, null}, inChild);
  }
  return child;
}

int WaitForExit(pid_t process) {
  int status = 0;
  RetryOnInterrupt([&] { return waitpid(process, &status, 0); });
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quobrel::testing
