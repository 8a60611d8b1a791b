// What the batches must never do to a user's files, whoever runs them and whatever
// happens to the process: tried through the real quobrel-cli, as root and as ordinary
// users (root ignores permissions, so those cases run under setpriv).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "tests/file_safety.h"

namespace quobrel {
namespace {

using namespace testing;

TEST_F(FileSafety, AFileTheUserMayNotWriteIsRefusedBeforeAnythingChanges) {
  fs::permissions(folder, fs::perms(0777));
  // Their own read-only file, with a backup from an earlier run.
  Write("a.old", "PRECIOUS\r\n");
  Write("a.txt", kHalfKana + "x\r\n");
  Own("a.old", kNobody, 0644);
  Own("a.txt", kNobody, 0444);
  ProcessResult r = CliAs(kNobody, {"convert", "-i", "a.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "a.txt：書き込みが許可されていないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(r.err, "quobrel-cli: " + Path("a.txt").string() +
                       ": Permission denied\nquobrel-cli: 1 file: 0 done, 1 not done\n");
  EXPECT_EQ(Read("a.old"), "PRECIOUS\r\n");
  EXPECT_EQ(Read("a.txt"), kHalfKana + "x\r\n");
  // Root, who could, does not change a file that nobody may write either.
  EXPECT_EQ(Cli({"convert", "-i", "a.txt"}).exitStatus, 1);
  EXPECT_EQ(Read("a.old"), "PRECIOUS\r\n");

  // Someone else's file in a folder both may write: a rename could replace it; the run
  // must not.
  Write("theirs.txt", kHalfKana);
  Own("theirs.txt", kSomeoneElse, 0644);
  r = CliAs(kNobody, {"convert", "-i", "theirs.txt"});
  EXPECT_EQ(r.out, "theirs.txt：書き込みが許可されていないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("theirs.txt"), kHalfKana);
  EXPECT_EQ(StatusOf(Path("theirs.txt")).st_uid, kSomeoneElse);
  EXPECT_FALSE(fs::exists(Path("theirs.old")));

  // One they may write but not own: converted, it would change hands.
  Write("shared.txt", kHalfKana);
  Own("shared.txt", kSomeoneElse, 0666);
  r = CliAs(kNobody, {"convert", "-i", "shared.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "shared.txt：所有者を保てないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("shared.txt"), kHalfKana);
  EXPECT_EQ(StatusOf(Path("shared.txt")).st_uid, kSomeoneElse);
}

TEST_F(FileSafety, TheSameFileReachedTwiceIsDoneOnce) {
  Write("a.txt", "b");
  fs::create_symlink("a.txt", Path("link.txt"));
  fs::create_hard_link(Path("a.txt"), Path("hard.txt"));
  const ProcessResult r = Cli(
      {"replace", "-i", "--search=b", "--replace=bb", "a.txt", "./a.txt", "link.txt", "hard.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out,
            "a.txt：変換終了(1)\n"
            "a.txt：先に同じファイルを変換したため変換しません。\n"
            "link.txt：先に同じファイルを変換したため変換しません。\n"
            "hard.txt：先に同じファイルを変換したため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("a.txt"), "bb");
  EXPECT_EQ(Read("a.old"), "b");
  // The other name of a hard link keeps the former contents.
  EXPECT_EQ(Read("hard.txt"), "b");

  // Two files sharing a backup name, one spelt otherwise.
  Write("memo.txt", kHalfKana + "1");
  Write("memo.csv", kHalfKana + "2");
  EXPECT_EQ(Cli({"convert", "-i", "memo.txt", "./memo.csv"}).out,
            "memo.txt：変換終了\n"
            "memo.csv：先のファイルとバックアップ名が同じため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "1");
  EXPECT_EQ(Read("memo.csv"), kHalfKana + "2");

  // A link whose backup name is the very file it points to.
  Write("own.old", "original");
  fs::create_symlink("own.old", Path("own.txt"));
  EXPECT_EQ(Cli({"convert", "-i", "own.txt"}).out,
            "own.txt：バックアップ名がこのファイル自身を指すため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("own.old"), "original");
}

TEST_F(FileSafety, OutputNamesAreComparedByWhatTheyResolveTo) {
  fs::create_directories(Path("x"));
  fs::create_directories(Path("y"));
  fs::create_directories(Path("out"));
  Write("x/memo.txt", kHalfKana);
  Write("y/memo.txt", "y");
  const std::string out = "--output-dir=" + Path("out").string();
  ProcessResult r = Cli({"convert", out, "x/memo.txt", "y/memo.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "memo.txt：変換終了\nmemo.txt：先のファイルと出力先が同じため変換しません。\n"
            "全て変換終了\n");
  EXPECT_EQ(Read("out/memo.txt"), kFullKana);
  EXPECT_EQ(Names("out"), std::vector<std::string>{"memo.txt"});

  // The source folder by another spelling is the in-place case.
  EXPECT_EQ(Cli({"convert", "--output-dir=" + Path("x/../x/.").string(), "x/memo.txt"}).exitStatus,
            0);
  EXPECT_EQ(Read("x/memo.old"), kHalfKana);

  // An empty folder name, as from an unset variable, is a mistake, not the root folder.
  r = Cli({"convert", "--output-dir=", "y/memo.txt"});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_NE(r.err.find("--output-dir needs a folder"), std::string::npos);
  EXPECT_EQ(Read("y/memo.txt"), "y");
}

TEST_F(FileSafety, AnOutputNameThatLeadsToAnotherFileOfTheListIsRefused) {
  Write("a.txt", kHalfKana);
  Write("b.txt", "\xB2 B");  // ｲ B
  fs::create_directories(Path("out"));
  fs::create_symlink("../b.txt", Path("out/a.txt"));
  const ProcessResult r =
      Cli({"convert", "--output-dir=" + Path("out").string(), "a.txt", "b.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "a.txt：出力先が他の変換元ファイルを指すため変換しません。\nb.txt：変換終了\n"
            "全て変換終了\n");
  EXPECT_EQ(Read("b.txt"), "\xB2 B");
  EXPECT_EQ(Read("out/b.txt"), "\x83\x43 B");  // イ B
}

TEST_F(FileSafety, AFileAnotherProgramWritesMeanwhileIsLeftToIt) {
  std::string original, converted;
  WriteLarge(original, converted);
  const std::string output = folder.string() + ".out";
  // An editor's save (a new file renamed over the old), a copy over it, lines appended.
  const std::pair<const char*, std::function<void()>> writers[] = {
      {"renamed",
       [&] {
         Write("saved.tmp", "the editor's version\n");
         fs::rename(Path("saved.tmp"), Path("big.txt"));
       }},
      {"rewritten", [&] { Write("big.txt", "a copy's version\n"); }},
      {"appended", [&] { std::ofstream(Path("big.txt"), std::ios::app) << "one more\r\n"; }},
  };
  for (const auto& [how, write] : writers) {
    Write("big.txt", original);
    Write("big.old", "EARLIER");
    const pid_t run =
        StartAndStopWhileConverting({"convert", "-i", "--encoding=utf-8", "big.txt"}, output);
    write();
    const std::string written = Read("big.txt");
    ::kill(run, SIGCONT);
    EXPECT_EQ(WaitForExit(run), 1) << how;
    EXPECT_EQ(Read("big.txt"), written) << how;
    EXPECT_EQ(Read("big.old"), "EARLIER") << how;
    EXPECT_EQ(Names(), (std::vector<std::string>{"big.old", "big.txt"})) << how;
    std::ifstream reported(output);  // the reason first, then the status line
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reported), {}),
              "quobrel-cli: " + Path("big.txt").string() +
                  ": changed by another program during the conversion\n"
                  "big.txt：変換中にファイルが変更されたため変換しません。\n"
                  "全て変換終了\nquobrel-cli: 1 file: 0 done, 1 not done\n")
        << how;
  }
  fs::remove(output);
}

TEST_F(FileSafety, OwnerModeAttributesAndTimesAreKept) {
  Write("memo.txt", kHalfKana);
  if (::setxattr(Path("memo.txt").c_str(), "user.origin", "scan", 4, 0) != 0) {
    GTEST_SKIP() << "this file system has no extended attributes: " << std::strerror(errno);
  }
  Own("memo.txt", kNobody, 02640);
  const std::string acl =
      "setfacl -m u:" + std::to_string(kSomeoneElse) + ":rw " + Path("memo.txt").string();
  ASSERT_EQ(std::system(acl.c_str()), 0) << "setfacl (Debian's acl) is needed";
  const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Path("memo.txt").c_str(), times, 0), 0);
  const mode_t mode = StatusOf(Path("memo.txt")).st_mode & 07777;  // the ACL's mask is in it

  ASSERT_EQ(Cli({"convert", "-i", "memo.txt"}).exitStatus, 0);
  const auto aclOf = [&](const std::string& name) {
    return RunProcess("/usr/bin/getfacl", {"--omit-header", Path(name).string()}, "").out;
  };
  const std::string expectedAcl = aclOf("memo.old");
  EXPECT_NE(expectedAcl.find("user:" + std::to_string(kSomeoneElse) + ":rw-"), std::string::npos);
  for (const char* name : {"memo.txt", "memo.old"}) {
    const struct stat status = StatusOf(Path(name));
    EXPECT_EQ(status.st_uid, kNobody) << name;
    EXPECT_EQ(status.st_gid, kNobody) << name;
    EXPECT_EQ(status.st_mode & 07777, mode) << name;
    char value[16] = {};
    EXPECT_EQ(::getxattr(Path(name).c_str(), "user.origin", value, sizeof value), 4) << name;
    EXPECT_STREQ(value, "scan") << name;
    EXPECT_EQ(aclOf(name), expectedAcl) << name;
  }
  EXPECT_EQ(Read("memo.txt"), kFullKana);
  EXPECT_EQ(StatusOf(Path("memo.old")).st_mtim.tv_sec, 1'000'000'000);

  // A new file in an output folder takes the source's permissions less the umask, and
  // none for a group that is not the source's.
  fs::create_directories(Path("out"));
  Write("open.txt", kHalfKana);
  ASSERT_EQ(::chmod(Path("open.txt").c_str(), 0664), 0);
  Cli({"convert", "--output-dir=" + Path("out").string(), "open.txt"}, [] { ::umask(027); });
  EXPECT_EQ(StatusOf(Path("out/open.txt")).st_mode & 07777, 0640u);
  ASSERT_EQ(::chown(Path("out").c_str(), 0, kSomeoneElse), 0);
  ASSERT_EQ(::chmod(Path("out").c_str(), 02775), 0);  // its files fall to its group
  fs::remove(Path("out/open.txt"));
  Cli({"convert", "--output-dir=" + Path("out").string(), "open.txt"}, [] { ::umask(002); });
  EXPECT_EQ(StatusOf(Path("out/open.txt")).st_gid, kSomeoneElse);
  EXPECT_EQ(StatusOf(Path("out/open.txt")).st_mode & 07777, 0644u);  // what others get
}

TEST_F(FileSafety, TemporaryFilesAreNeverReadableByOthers) {
  std::string original, converted;
  WriteLarge(original, converted);
  ASSERT_EQ(::chmod(Path("big.txt").c_str(), 0600), 0);
  const pid_t run = StartProcess(
      QUOBREL_CLI_PATH, {"convert", "-i", "--encoding=utf-8", Path("big.txt")}, [] { ::umask(0); });
  std::vector<std::string> temporaries;
  while (Running(run) && (temporaries = TemporaryFilesOpen(run, folder)).empty()) {
  }
  ::kill(run, SIGSTOP);
  temporaries = TemporaryFilesOpen(run, folder);
  EXPECT_FALSE(temporaries.empty()) << "the run ended before it was seen writing";
  for (const std::string& temporary : temporaries) {
    struct stat status {};
    ASSERT_EQ(::stat(temporary.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u) << temporary;
  }
  for (const std::string& name : Names()) {
    EXPECT_EQ(StatusOf(Path(name)).st_mode & 077, 0u) << name;
  }
  ::kill(run, SIGCONT);
  EXPECT_EQ(WaitForExit(run), 0);
  EXPECT_EQ(Read("big.txt"), converted);
  EXPECT_EQ(StatusOf(Path("big.txt")).st_mode & 07777, 0600u);
}

TEST_F(FileSafety, AKilledRunLeavesTheFileWholeOrConvertedAndNothingBehind) {
  std::string original, converted;
  WriteLarge(original, converted, 4'600'000);  // 100 MB
  // Killed while it reads and converts (the file open, nothing written), while it writes
  // the result (one temporary file), while it copies the backup (two).
  for (const std::size_t temporaries : {0u, 1u, 2u}) {
    Write("big.txt", original);
    fs::remove(Path("big.old"));
    const pid_t run =
        StartProcess(QUOBREL_CLI_PATH, {"convert", "-i", "--encoding=utf-8", Path("big.txt")});
    while (Running(run) && TemporaryFilesOpen(run, folder).size() != temporaries) {
    }
    ::kill(run, SIGKILL);
    WaitForExit(run);
    const std::string after = Read("big.txt");
    EXPECT_TRUE(after == original || after == converted) << temporaries;
    if (fs::exists(Path("big.old"))) {
      EXPECT_EQ(Read("big.old"), original) << temporaries;
    }
    for (const std::string& name : Names()) {
      EXPECT_TRUE(name == "big.txt" || name == "big.old") << name;
    }
  }
}

TEST_F(FileSafety, AFileSizeLimitFailsThatFileAlone) {
  Write("big.txt", std::string(100'000, 'a'));
  Write("big.old", "EARLIER");
  Write("small.txt", kHalfKana);
  // The limit is set, SIGXFSZ left as it is: the program has to ignore it itself.
  const ProcessResult r = Cli({"convert", "-i", "--letters=full", "big.txt", "small.txt"}, [] {
    const rlimit limit{150'000, 150'000};  // the result, 200,000 bytes, does not fit
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "big.txt：ファイルが大きすぎるため書き込めませんでした。\nsmall.txt：変換終了\n"
            "全て変換終了\n");
  EXPECT_EQ(r.err, "quobrel-cli: " + Path("big.txt").string() +
                       ": File too large\nquobrel-cli: 2 files: 1 done, 1 not done\n");
  EXPECT_EQ(Read("big.txt"), std::string(100'000, 'a'));
  EXPECT_EQ(Read("big.old"), "EARLIER");
  EXPECT_EQ(Names(), (std::vector<std::string>{"big.old", "big.txt", "small.old", "small.txt"}));
}

TEST_F(FileSafety, AFileInUseByAnotherRunIsLeftAlone) {
  Write("memo.txt", kHalfKana);
  {
    const int held = ::open(Path("memo.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const ProcessResult r = Cli({"convert", "-i", "memo.txt"});
    ::close(held);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "memo.txt：他で使用中のため変換しません。\n全て変換終了\n");
    EXPECT_EQ(Read("memo.txt"), kHalfKana);
  }

  // Two runs at once: the second finds the file in hand and leaves it to the first.
  std::string original, converted;
  WriteLarge(original, converted);
  const pid_t first =
      StartProcess(QUOBREL_CLI_PATH, {"convert", "-i", "--encoding=utf-8", Path("big.txt")});
  while (Running(first) && TemporaryFilesOpen(first, folder).empty()) {
  }
  ::kill(first, SIGSTOP);
  const ProcessResult second =
      Cli({"replace", "-i", "--encoding=utf-8", "--search=abc", "--replace=xyz", "big.txt"});
  ::kill(first, SIGCONT);
  EXPECT_EQ(WaitForExit(first), 0);
  EXPECT_EQ(second.out, "big.txt：他で使用中のため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("big.txt"), converted);
  EXPECT_EQ(Read("big.old"), original);
}

TEST_F(FileSafety, LeftoversOfDeadRunsAreRemovedAndThoseOfLiveOnesKept) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  WaitForExit(gone);
  const std::string dead = ".quobrel-" + std::to_string(gone) + "-0.tmp";
  const std::string live = ".quobrel-" + std::to_string(getpid()) + "-0.tmp";
  Write(dead, "half a file");
  Write(live, "being written");
  Write("memo.txt", kHalfKana);
  EXPECT_EQ(Cli({"convert", "-i", "memo.txt"}).exitStatus, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{live, "memo.old", "memo.txt"}));
}

TEST_F(FileSafety, NamesAreBytesAndOnlyRegularFilesAreTaken) {
  const std::string latin1 = "lat\xE9.txt";  // not UTF-8
  Write(latin1, kHalfKana);
  ASSERT_EQ(::mkfifo(Path("pipe.txt").c_str(), 0644), 0);
  fs::create_directories(Path("folder.txt"));
  const ProcessResult r = Cli({"convert", "-i", latin1, "pipe.txt", "folder.txt", "/dev/null"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, latin1 +
                       "：変換終了\n"
                       "pipe.txt：通常のファイルではないため変換しません。\n"
                       "folder.txt：通常のファイルではないため変換しません。\n"
                       "null：通常のファイルではないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read(latin1), kFullKana);
  EXPECT_EQ(Read("lat\xE9.old"), kHalfKana);
}

TEST_F(FileSafety, AFileTooLargeForMemoryFailsAlone) {
#ifdef QUOBREL_SANITIZED
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  std::string huge;
  huge.resize(60'000'000, 'a');
  Write("huge.txt", huge);
  Write("small.txt", kHalfKana);
  const ProcessResult r = Cli({"convert", "-i", "huge.txt", "small.txt"}, [] {
    const rlimit limit{150 << 20, 150 << 20};
    setrlimit(RLIMIT_AS, &limit);
  });
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "huge.txt：メモリが足りないため変換しません。\nsmall.txt：変換終了\n全て変換終了\n");
  EXPECT_EQ(Read("small.txt"), kFullKana);
  EXPECT_FALSE(fs::exists(Path("huge.old")));
}

TEST_F(FileSafety, StatusLinesThatCannotBeWrittenFailTheRun) {
  Write("memo.txt", kHalfKana);
  const ProcessResult r = Cli({"convert", "-i", "memo.txt"}, [] {
    const int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, STDOUT_FILENO);
  });
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.err, "quobrel-cli: cannot write the status lines\n");
}

TEST_F(FileSafety, AWalkReportsTheFoldersItCannotRead) {
  fs::permissions(folder, fs::perms(0755));
  fs::create_directories(Path("top/closed"));
  Write("top/a.txt", kHalfKana);
  Write("top/closed/b.txt", kHalfKana);
  Own("top", kNobody, 0755);
  Own("top/a.txt", kNobody, 0644);
  Own("top/closed", kSomeoneElse, 0700);
  const ProcessResult r = CliAs(kNobody, {"convert", "-i", "-r", "top"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, Path("top/a.txt").string() + "：変換終了\n全て変換終了\n");
  EXPECT_EQ(r.err, "quobrel-cli: " + Path("top/closed").string() +
                       ": cannot read the folder: Permission denied\n");
  EXPECT_EQ(Read("top/a.txt"), kFullKana);
}

TEST_F(FileSafety, AFileInASharedFolderNeverChangesHands) {
  // A folder of group 65530 whose new files fall to that group; a member converts another
  // member's file that the group may write.
  fs::create_directory(Path("share"));
  ASSERT_EQ(::chown(Path("share").c_str(), 0, 65530), 0);
  ASSERT_EQ(::chmod(Path("share").c_str(), 02775), 0);
  Write("share/doc.txt", kHalfKana);
  ASSERT_EQ(::chown(Path("share/doc.txt").c_str(), kSomeoneElse, 65530), 0);
  ASSERT_EQ(::chmod(Path("share/doc.txt").c_str(), 0664), 0);
  const ProcessResult r = CliAs(kNobody, {"convert", "-i", "share/doc.txt"}, "65530");
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "doc.txt：所有者を保てないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(r.err, "quobrel-cli: " + Path("share/doc.txt").string() +
                       ": its owner could not be kept\nquobrel-cli: 1 file: 0 done, 1 not done\n");
  EXPECT_EQ(Read("share/doc.txt"), kHalfKana);
  EXPECT_EQ(StatusOf(Path("share/doc.txt")).st_uid, kSomeoneElse);
  EXPECT_EQ(Names("share"), std::vector<std::string>{"doc.txt"});
  // The member's own file, of the shared group, is theirs to convert.
  ASSERT_EQ(::chown(Path("share/doc.txt").c_str(), kNobody, 65530), 0);
  EXPECT_EQ(CliAs(kNobody, {"convert", "-i", "share/doc.txt"}, "65530").exitStatus, 0);
  EXPECT_EQ(StatusOf(Path("share/doc.txt")).st_gid, 65530u);
  EXPECT_EQ(StatusOf(Path("share/doc.txt")).st_mode & 07777, 0664u);
}

TEST_F(FileSafety, HostileNamesAndBinaryFilesAreHandledAsSuch) {
  // Names that would move the cursor, ring the bell or forge a status line are spelt out.
  const std::string hostile = "a\x1b[2Jb\x07\nfake.txt：変換終了";
  Write(hostile, kHalfKana);
  Write("c1\xC2\x9B.txt", kHalfKana);  // U+009B, a terminal's CSI
  // A file holding NUL bytes is no text: a tar archive of text files, say.
  Write("notes.tar", "memo.txt" + std::string(100, '\0') + kHalfKana);
  ProcessResult r = Cli({"convert", "-i", hostile, "c1\xC2\x9B.txt", "notes.tar"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "a\\x1b[2Jb\\x07\\x0afake.txt：変換終了：変換終了\n"
            "c1\\xc2\\x9b.txt：変換終了\n"
            "notes.tar：バイナリファイルのため変換しません。\n全て変換終了\n");
  EXPECT_EQ(r.err,
            "quobrel-cli: " + Path("notes.tar").string() +
                ": binary file (it holds NUL bytes)\nquobrel-cli: 3 files: 2 done, 1 not done\n");
  EXPECT_EQ(Read("notes.tar"), "memo.txt" + std::string(100, '\0') + kHalfKana);
  EXPECT_EQ(Read(hostile), kFullKana);

  // A walk passes binary files by, as it does the other kinds never converted.
  fs::create_directory(Path("tree"));
  Write("tree/a.bin", std::string("\0", 1));
  Write("tree/b\x1b.txt", kHalfKana);
  r = Cli({"convert", "-i", "-r", "tree"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, Path("tree/b\\x1b.txt").string() + "：変換終了\n全て変換終了\n");
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace quobrel
