// Batches run where no thread, or only one, can be started: as a user at the limit of their
// processes, or with no room for a thread's stack. The work is done on the threads there
// are, or on the one that runs the batch.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/batch_folder.h"

namespace quobrel {
namespace {

using namespace testing;

// A user no other test runs as: the processes of a user count toward its limit, and tests
// run side by side.
constexpr uid_t kLimited = 65531;
const std::vector<std::string> kSmall{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"};

class ResourceLimits : public BatchFolder {
 protected:
  void SetUp() override {
    BatchFolder::SetUp();
    for (int i = 0; i < 100'000; ++i) {
      large += "ｶﾞｷﾞ abc 123\r\n";
      largeConverted += "ガギ abc 123\r\n";
    }
    // A copy of quobrel-cli that another user may run, wherever the build lies.
    fs::create_directories(Path("bin"));
    fs::copy_file(QUOBREL_CLI_PATH, Path("bin/quobrel-cli"));
  }

  // Small files before and after one large enough for its pieces and its backup copy to be
  // given threads, in a folder of their own that another user may write in.
  void WriteFiles() const {
    fs::remove_all(Path("files"));
    fs::create_directories(Path("files"));
    for (const std::string& name : kSmall) Write("files/" + name, kHalfKana);
    Write("files/large.txt", large);
    ASSERT_EQ(::chown(Path("files").c_str(), kLimited, kLimited), 0);
    for (const auto& entry : fs::directory_iterator(Path("files")))
      ASSERT_EQ(::chown(entry.path().c_str(), kLimited, kLimited), 0);
  }

  std::vector<std::string> Arguments() const {
    return InFolder({"convert", "-i", "files/a.txt", "files/b.txt", "files/large.txt",
                     "files/c.txt", "files/d.txt", "files/e.txt"});
  }
  // The arguments of setpriv that run quobrel-cli with them as that other user.
  std::vector<std::string> AsLimited(const std::vector<std::string>& arguments) const {
    std::vector<std::string> words{"--reuid=" + std::to_string(kLimited),
                                   "--regid=" + std::to_string(kLimited), "--clear-groups", "--",
                                   Path("bin/quobrel-cli")};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
  }

  // Runs the program with `input`, `limit` set in it; one that has not ended after a minute
  // is killed and fails the test.
  ProcessResult Run(const std::string& program, const std::vector<std::string>& arguments,
                    const std::function<void()>& limit, const std::string& input = "") const {
    const int streams[3] = {::memfd_create("in", MFD_CLOEXEC), ::memfd_create("out", MFD_CLOEXEC),
                            ::memfd_create("err", MFD_CLOEXEC)};
    EXPECT_EQ(::pwrite(streams[0], input.data(), input.size(), 0),
              static_cast<ssize_t>(input.size()));
    const pid_t child = StartProcess(program, arguments, [&] {
      for (int target = 0; target < 3; ++target) ::dup2(streams[target], target);
      limit();
    });
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 1200 && (ended = ::waitpid(child, &status, WNOHANG)) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (ended == 0) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ADD_FAILURE() << "quobrel-cli did not end";
    }
    ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(streams[1]),
                         ReadAll(streams[2])};
    for (const int stream : streams) ::close(stream);
    return result;
  }

  static std::string ReadAll(int fd) {
    std::string bytes(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    return bytes;
  }

  // Every file converted and reported in its turn, its former contents kept.
  void ExpectAllConverted(const ProcessResult& r) {
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out,
              "a.txt：変換終了\nb.txt：変換終了\nlarge.txt：変換終了\nc.txt：変換終了\n"
              "d.txt：変換終了\ne.txt：変換終了\n全て変換終了\n");
    EXPECT_EQ(r.err, "");
    for (const std::string& name : kSmall) {
      EXPECT_EQ(Read("files/" + name), kFullKana) << name;
      EXPECT_EQ(Read("files/" + name.substr(0, 1) + ".old"), kHalfKana) << name;
    }
    EXPECT_TRUE(Read("files/large.txt") == largeConverted);
    EXPECT_TRUE(Read("files/large.old") == large);
    EXPECT_EQ(Names("files"), (std::vector<std::string>{"a.old", "a.txt", "b.old", "b.txt", "c.old",
                                                        "c.txt", "d.old", "d.txt", "e.old", "e.txt",
                                                        "large.old", "large.txt"}));
  }

  std::string large, largeConverted;
};

// The user's own processes count toward the limit: with 1, no thread can start; with 2, one
// can where the user has no other process, and the pools get fewer threads than asked for.
TEST_F(ResourceLimits, ProcessLimitLeavesTheWorkToTheThreadsThereAre) {
  for (const rlim_t processes : {1, 2}) {
    SCOPED_TRACE(processes);
    const auto limit = [processes] {
#ifdef QUOBREL_SANITIZED
      // The leak checker needs a thread of its own at the end.
      ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
      const rlimit nproc{processes, processes};
      ::setrlimit(RLIMIT_NPROC, &nproc);
    };
    const ProcessResult filtered =
        Run("/usr/bin/setpriv", AsLimited({"convert", "-"}), limit, large);
    EXPECT_EQ(filtered.exitStatus, 0) << filtered.err;
    EXPECT_TRUE(filtered.out == largeConverted);
    WriteFiles();
    ExpectAllConverted(Run("/usr/bin/setpriv", AsLimited(Arguments()), limit));
  }
}

// Each thread would have a stack larger than the address space allowed: none can be mapped.
TEST_F(ResourceLimits, NoRoomForAThreadsStackLeavesTheWorkToTheBatchsThread) {
#ifdef QUOBREL_SANITIZED
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  WriteFiles();
  ExpectAllConverted(Run(QUOBREL_CLI_PATH, Arguments(), [] {
    const rlimit stack{rlim_t{1} << 30, rlim_t{1} << 30};
    const rlimit memory{rlim_t{400} << 20, rlim_t{400} << 20};
    ::setrlimit(RLIMIT_STACK, &stack);
    ::setrlimit(RLIMIT_AS, &memory);
  }));
}

}  // namespace
}  // namespace quobrel
