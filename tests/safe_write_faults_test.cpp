// Faults of the disk and of the kernel, made through the system calls' seam while a batch
// converts a file in place: the file and its earlier backup stay as they were, the failure
// is reported, and no temporary file is left. Where the program has another way (a file
// system without unnamed files or exchanges, a system without /proc), it takes it, and the
// file and its backup come out right.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "batch/file_batch.h"
#include "conversion/file_commands.h"
#include "files/system_calls.h"
#include "stream/piece_stream.h"
#include "tests/test_folder.h"

namespace quobrel {
namespace {

namespace fs = std::filesystem;

template <int kError>
ssize_t FailingWrite(int /*fd*/, const void* /*bytes*/, std::size_t /*size*/) {
  errno = kError;
  return -1;
}

int FailingFsync(int /*fd*/) {
  errno = EIO;
  return -1;
}

// As a kernel or file system without O_TMPFILE answers.
template <int kError>
int NoUnnamedFiles(int folder, const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    errno = kError;
    return -1;
  }
  return RealSystemCalls().openat(folder, path, flags, mode);
}

int NoExchange(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
  if ((flags & RENAME_EXCHANGE) != 0) {
    errno = EINVAL;
    return -1;
  }
  return RealSystemCalls().renameat2(fromFolder, from, toFolder, to, flags);
}

int NoProc(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  if (std::string_view(from).starts_with("/proc/")) {
    errno = ENOENT;
    return -1;
  }
  return RealSystemCalls().linkat(fromFolder, from, toFolder, to, flags);
}

// A file is read through twice: first for what it is, then converted. The second time, a
// read past its first piece fails: the new contents are under way by then.
std::atomic<bool> readPastFirstPiece{false};
std::atomic<bool> readAgain{false};
ssize_t FailingSecondRead(int fd, void* buffer, std::size_t size, off_t offset) {
  const bool past = offset >= static_cast<off_t>(PieceReader::kPieceSize);
  if (past && readAgain) {
    errno = EIO;
    return -1;
  }
  if (past) {
    readPastFirstPiece = true;
  } else if (readPastFirstPiece) {
    readAgain = true;
  }
  return RealSystemCalls().pread(fd, buffer, size, offset);
}

// Waits until the coarse clock that a batch takes its start from is past `time`.
void WaitPast(const timespec& time) {
  timespec now{};
  while (::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
         (now.tv_sec < time.tv_sec || (now.tv_sec == time.tv_sec && now.tv_nsec <= time.tv_nsec)))
    ::usleep(1000);
}

struct Fault {
  const char* name;
  void (*inject)(SystemCalls& calls);
  int error;    // the error reported; none where the program takes another way
  bool asRoot;  // the other way needs privilege
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

const Fault kFaults[] = {
    {"DiskFull", [](SystemCalls& c) { c.write = FailingWrite<ENOSPC>; }, ENOSPC, false},
    {"QuotaExceeded", [](SystemCalls& c) { c.write = FailingWrite<EDQUOT>; }, EDQUOT, false},
    {"WriteError", [](SystemCalls& c) { c.write = FailingWrite<EIO>; }, EIO, false},
    {"FlushError", [](SystemCalls& c) { c.fsync = FailingFsync; }, EIO, false},
    {"ReadErrorMidFile", [](SystemCalls& c) { c.pread = FailingSecondRead; }, EIO, false},
    {"NoUnnamedFiles", [](SystemCalls& c) { c.openat = NoUnnamedFiles<EOPNOTSUPP>; }, 0, false},
    {"NoUnnamedFilesHere", [](SystemCalls& c) { c.openat = NoUnnamedFiles<EISDIR>; }, 0, false},
    {"NoExchange", [](SystemCalls& c) { c.renameat2 = NoExchange; }, 0, false},
    // Linked by the descriptor itself.
    {"NoProc", [](SystemCalls& c) { c.linkat = NoProc; }, 0, true},
};

class QuietView : public BatchView {
 public:
  void SetStatusLine(std::size_t /*index*/, const StatusLine& /*line*/) override {}
  std::optional<fs::path> OutputFolder() override { return std::nullopt; }
  void Yield() override {}
  bool Stopping() override { return false; }
};

// Each fault with unnamed temporary files, and without: then named, they must go.
std::string CaseName(const std::tuple<Fault, bool>& param) {
  return std::string(std::get<0>(param).name) + (std::get<1>(param) ? "" : "_NamedTemporary");
}

class SafeWriteFaults : public ::testing::TestWithParam<std::tuple<Fault, bool>>,
                        protected testing::TestFolder {
 protected:
  void SetUp() override {
    MakeFolder("quobrel-faults-" + CaseName(GetParam()));
    readPastFirstPiece = false;
    readAgain = false;
  }
  void TearDown() override { RemoveFolder(); }

  // "memo.txt" with 'a' replaced by 'b', in place with a backup.
  FileReport Replace() const {
    const BatchCommand batch{
        .forFile = [] { return ReplacingCommand({.search = u"a", .replacement = u"b"}); }};
    const FileFormat format{.encoding = TextEncoding::Utf8, .lineBreaks = LineBreakRule::Keep};
    QuietView view;
    return RunFileBatch({ListedFile::Named(Path("memo.txt"))}, batch, format, view).at(0);
  }
};

TEST_P(SafeWriteFaults, LeaveTheFileAndItsBackupOrTakeAnotherWay) {
  const auto& [fault, unnamedFiles] = GetParam();
  if (fault.asRoot && ::geteuid() != 0) GTEST_SKIP() << "as root only";
  // A recorded backup from an earlier run, which a new one replaces.
  Write("memo.txt", "an earlier text\n");
  ASSERT_EQ(Replace().outcome, FileOutcome::Converted);
  ASSERT_EQ(Read("memo.old"), "an earlier text\n");
  // Larger than one piece. Backups made since the batch began are another run's: the
  // clock goes past this one's first.
  std::string text;
  while (text.size() <= 3 * PieceReader::kPieceSize) text += "a line of text\n";
  Write("memo.txt", text);
  struct stat backup;
  ASSERT_EQ(::stat(Path("memo.old").c_str(), &backup), 0);
  WaitPast(backup.st_ctim);

  SystemCalls calls = RealSystemCalls();
  if (!unnamedFiles) calls.openat = NoUnnamedFiles<EOPNOTSUPP>;
  fault.inject(calls);
  FileReport report;
  {
    const ScopedSystemCalls faulty(calls);
    report = Replace();
  }
  if (fault.error != 0) {
    EXPECT_EQ(report.outcome, FileOutcome::Failed);
    EXPECT_EQ(report.error, std::error_code(fault.error, std::generic_category()));
    EXPECT_EQ(Read("memo.txt"), text);
    EXPECT_EQ(Read("memo.old"), "an earlier text\n");
  } else {
    EXPECT_EQ(report.outcome, FileOutcome::Converted) << report.error.message();
    std::string replaced = text;
    std::replace(replaced.begin(), replaced.end(), 'a', 'b');
    EXPECT_EQ(Read("memo.txt"), replaced);
    EXPECT_EQ(Read("memo.old"), text);
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"memo.old", "memo.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Faults, SafeWriteFaults,
                         ::testing::Combine(::testing::ValuesIn(kFaults), ::testing::Bool()),
                         [](const auto& info) { return CaseName(info.param); });

}  // namespace
}  // namespace quobrel
