// What the tests of file safety share: the real quobrel-cli, run as root and as ordinary
// users (root ignores permissions, so those cases run under setpriv), and a look at the
// temporary files a running one has open.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/batch_folder.h"

namespace quobrel::testing {

inline constexpr uid_t kNobody = 65534;
inline constexpr uid_t kSomeoneElse = 65533;

// A copy of quobrel-cli that any user may run, wherever the build lies.
inline const std::string& PublicCli() {
  static const std::string path = [] {
    const fs::path folder = fs::temp_directory_path() / ("quobrel-cli-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms(0755));
    fs::copy_file(QUOBREL_CLI_PATH, folder / "quobrel-cli", fs::copy_options::overwrite_existing);
    fs::permissions(folder / "quobrel-cli", fs::perms(0755));
    std::atexit([] {
      fs::remove_all(fs::temp_directory_path() / ("quobrel-cli-" + std::to_string(getpid())));
    });
    return (folder / "quobrel-cli").string();
  }();
  return path;
}

inline struct stat StatusOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status;
}

// The descriptors by which the process has temporary files of the folder open: unnamed
// ones show as "#inode (deleted)", named ones by their prefix.
inline std::vector<std::string> TemporaryFilesOpen(pid_t process, const fs::path& folder) {
  std::vector<std::string> open;
  std::error_code error;
  const fs::path descriptors = "/proc/" + std::to_string(process) + "/fd";
  for (const auto& entry : fs::directory_iterator(descriptors, error)) {
    std::error_code unreadable;
    const std::string target = fs::read_symlink(entry.path(), unreadable).string();
    const std::string name = target.substr(std::min(target.size(), folder.string().size() + 1));
    if (target.starts_with(folder.string() + "/") &&
        (name.starts_with("#") || name.starts_with(".quobrel-"))) {
      open.push_back(entry.path());
    }
  }
  return open;
}

inline bool Running(pid_t process) { return waitpid(process, nullptr, WNOHANG) == 0; }

class FileSafety : public BatchFolder {
 protected:
  // quobrel-cli as an unprivileged user, without supplementary groups unless given.
  ProcessResult CliAs(uid_t user, std::vector<std::string> arguments,
                      const std::string& groups = "") const {
    std::vector<std::string> words{
        "--reuid=" + std::to_string(user), "--regid=" + std::to_string(user),
        groups.empty() ? "--clear-groups" : "--groups=" + groups, "--", PublicCli()};
    for (std::string& argument : InFolder(std::move(arguments))) words.push_back(argument);
    return RunProcess("/usr/bin/setpriv", words, "");
  }
  void Own(const std::string& name, uid_t user, mode_t mode) const {
    ASSERT_EQ(::lchown(Path(name).c_str(), user, user), 0);
    ASSERT_EQ(::chmod(Path(name).c_str(), mode), 0);
  }
  // A file of 22 bytes a line as big.txt, and its conversion.
  void WriteLarge(std::string& original, std::string& converted, int lines = 2'000'000) const {
    for (int i = 0; i < lines; ++i) {
      original += "ｶﾞｷﾞ abc 123\r\n";
      converted += "ガギ abc 123\r\n";
    }
    Write("big.txt", original);
  }
  // Starts quobrel-cli and stops it once it has a temporary file open: it is converting.
  // Its standard output and error go to `output`, when given. It runs at the lowest
  // priority, so that on a busy machine this process sees it before it is done.
  pid_t StartAndStopWhileConverting(std::vector<std::string> arguments,
                                    const std::string& output = "") const {
    const pid_t run = StartProcess(QUOBREL_CLI_PATH, InFolder(std::move(arguments)), [output] {
      if (::nice(19) == -1) {
      }
      if (output.empty()) return;
      const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
    });
    while (Running(run) && TemporaryFilesOpen(run, folder).empty()) {
    }
    ::kill(run, SIGSTOP);
    EXPECT_FALSE(TemporaryFilesOpen(run, folder).empty()) << "it was done before it was seen";
    return run;
  }
};

}  // namespace quobrel::testing
