// The backups a batch makes: each records the file it keeps, so that no run replaces the
// only copy of another file's contents; none is made or replaced when nothing changes; and
// a run that died half-way is undone by the next.
#include <sys/xattr.h>

#include <fstream>

#include "tests/file_safety.h"

namespace quobrel {
namespace {

using namespace testing;

class Backups : public FileSafety {
 protected:
  // The name of the file a backup records, or "" without a record.
  std::string RecordOf(const std::string& name) const {
    char value[256] = {};
    const ssize_t size =
        ::getxattr(Path(name).c_str(), "user.quobrel.backup-of", value, sizeof value);
    return size < 0 ? std::string() : std::string(value, static_cast<std::size_t>(size));
  }
  void SetRecord(const std::string& name, const std::string& record) const {
    ASSERT_EQ(
        ::setxattr(Path(name).c_str(), "user.quobrel.backup-of", record.data(), record.size(), 0),
        0);
  }
  std::string ReadFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(Backups, NoBackupReplacesTheOnlyCopyOfAnotherFile) {
  // Dotfiles keep their whole name, so that .bashrc and .profile do not share ".old".
  Write(".bashrc", kHalfKana + "b");
  Write(".profile", kHalfKana + "p");
  EXPECT_EQ(Cli({"convert", "-i", ".bashrc", ".profile"}).exitStatus, 0);
  EXPECT_EQ(Read(".bashrc.old"), kHalfKana + "b");
  EXPECT_EQ(Read(".profile.old"), kHalfKana + "p");
  EXPECT_EQ(RecordOf(".bashrc.old"), ".bashrc");

  // memo.txt and memo.md share a backup name: not in a later run either.
  Write("memo.txt", kHalfKana + "t");
  Write("memo.md", kHalfKana + "m");
  EXPECT_EQ(Cli({"convert", "-i", "memo.txt"}).exitStatus, 0);
  ProcessResult r = Cli({"convert", "-i", "memo.md"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "memo.md：バックアップ名が他のファイルのバックアップと同じため変換しません。\n"
            "全て変換終了\n");
  EXPECT_EQ(r.err, "quobrel-cli: " + Path("memo.md").string() +
                       ": its backup name holds the backup of another file\n"
                       "quobrel-cli: 1 file: 0 done, 1 not done\n");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "t");
  EXPECT_EQ(Read("memo.md"), kHalfKana + "m");

  // What records nothing (made by hand, or by an earlier version) is kept under a number.
  Write("note.old", "by hand");
  Write("note.txt", kHalfKana);
  EXPECT_EQ(Cli({"convert", "-i", "note.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("note.old.~1~"), "by hand");
  EXPECT_EQ(Read("note.old"), kHalfKana);
  EXPECT_EQ(RecordOf("note.old"), "note.txt");

  // Backups, numbered ones too, are passed by in a walk. Named, a file is judged by its
  // contents, but a backup is its own backup: in place, it is refused.
  r = Cli({"convert", "-i", "-r", "note.old", "note.old.~1~", "."});
  EXPECT_EQ(r.out, Path("note.old").string() +
                       "：バックアップ名がこのファイル自身を指すため変換しません。\n" +
                       Path("note.old.~1~").string() + "：変換個所なし\n" + Path(".").string() +
                       "/memo.md：バックアップ名が他のファイルのバックアップと同じため変換"
                       "しません。\n" +
                       Path(".").string() + "/memo.txt：変換個所なし\n" + Path(".").string() +
                       "/note.txt：変換個所なし\n全て変換終了\n");
  EXPECT_EQ(Read("note.old"), kHalfKana);
}

TEST_F(Backups, NothingChangedTouchesNeitherTheFileNorItsBackup) {
  Write("memo.txt", kHalfKana);
  ASSERT_EQ(Cli({"convert", "-i", "memo.txt"}).exitStatus, 0);
  const struct stat file = StatusOf(Path("memo.txt")), backup = StatusOf(Path("memo.old"));
  // Again, with options that change nothing, and a replacement that puts back what it finds.
  ProcessResult r = Cli({"convert", "-i", "memo.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "memo.txt：変換個所なし\n全て変換終了\n");
  r = Cli({"replace", "-i", "--encoding=cp932", "--search=ガ", "--replace=ガ", "memo.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "memo.txt：変換個所なし(1)\n全て変換終了\n");
  EXPECT_EQ(Read("memo.old"), kHalfKana);
  for (const auto& [name, before] : {std::pair{"memo.txt", file}, std::pair{"memo.old", backup}}) {
    const struct stat after = StatusOf(Path(name));
    EXPECT_EQ(after.st_ino, before.st_ino) << name;
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec) << name;
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"memo.old", "memo.txt"}));

  // Into a folder the result is written all the same.
  fs::create_directory(Path("out"));
  EXPECT_EQ(Cli({"convert", "--output-dir=" + Path("out").string(), "memo.txt"}).out,
            "memo.txt：変換終了\n全て変換終了\n");
  EXPECT_EQ(Read("out/memo.txt"), kFullKana);
}

TEST_F(Backups, TheBackupOptionKeepsEveryVersionOrNone) {
  for (const char version : {'1', '2', '3'}) {
    Write("memo.txt", kHalfKana + version);
    EXPECT_EQ(Cli({"convert", "-i", "--backup=numbered", "memo.txt"}).exitStatus, 0);
  }
  EXPECT_EQ(Read("memo.old.~1~"), kHalfKana + "1");
  EXPECT_EQ(Read("memo.old.~2~"), kHalfKana + "2");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "3");
  Write("memo.txt", kHalfKana + "4");
  EXPECT_EQ(Cli({"convert", "-i", "--backup=none", "memo.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("memo.txt"), kFullKana + "4");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "3");
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"memo.old", "memo.old.~1~", "memo.old.~2~", "memo.txt"}));
  const ProcessResult r = Cli({"convert", "-i", "--backup=all", "memo.txt"});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_NE(r.err.find("unknown value 'all' for --backup: old, numbered or none"),
            std::string::npos)
      << r.err;
}

TEST_F(Backups, ARunKilledBetweenTheBackupAndTheFileIsUndoneByTheNext) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  WaitForExit(gone);
  // What a run leaves when killed there: the file linked as its own backup and marked so,
  // the earlier backup under the run's temporary name.
  const std::string taken = ".quobrel-" + std::to_string(gone) + "-0.tmp";
  Write("memo.txt", kHalfKana + "new");
  Write(taken, "EARLIER");
  SetRecord(taken, "memo.txt");
  SetRecord("memo.txt", "memo.txt");
  fs::create_hard_link(Path("memo.txt"), Path("memo.old"));
  // Without an earlier backup, the half-made one alone.
  Write("solo.txt", kHalfKana);
  SetRecord("solo.txt", "solo.txt");
  fs::create_hard_link(Path("solo.txt"), Path("solo.old"));

  // Killed before the exchange: the file's second name, made for it, goes.
  Write("third.txt", kHalfKana);
  SetRecord("third.txt", "third.txt");
  fs::create_hard_link(Path("third.txt"), Path(".quobrel-" + std::to_string(gone) + "-1.tmp"));

  // A dry run tells what the run will do; kept by number, the earlier backup shows it was
  // put back.
  const std::vector<std::string> arguments{"convert",  "-i",       "--backup=numbered",
                                           "memo.txt", "solo.txt", "third.txt"};
  const std::string done =
      "memo.txt：変換終了\nsolo.txt：変換終了\nthird.txt：変換終了\n全て変換終了\n";
  std::vector<std::string> dry = arguments;
  dry.insert(dry.begin() + 1, "-n");
  EXPECT_EQ(Cli(dry).out, done);
  const ProcessResult r = Cli(arguments);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, done);
  EXPECT_EQ(Read("third.old"), kHalfKana);
  EXPECT_EQ(Read("memo.old.~1~"), "EARLIER");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "new");
  EXPECT_EQ(Read("memo.txt"), kFullKana + "new");
  EXPECT_EQ(RecordOf("memo.txt"), "");
  EXPECT_EQ(Read("solo.old"), kHalfKana);
  EXPECT_EQ(Read("solo.txt"), kFullKana);
  EXPECT_EQ(Names(), (std::vector<std::string>{"memo.old", "memo.old.~1~", "memo.txt", "solo.old",
                                               "solo.txt", "third.old", "third.txt"}));

  // A second name the user gave the file is no backup of the program's: still refused.
  Write("own.txt", kHalfKana);
  fs::create_hard_link(Path("own.txt"), Path("own.old"));
  EXPECT_EQ(Cli({"convert", "-i", "own.txt"}).out,
            "own.txt：バックアップ名がこのファイル自身を指すため変換しません。\n全て変換終了\n");
}

TEST_F(Backups, ABackupAnotherRunMadeMeanwhileIsNotReplaced) {
  std::string original, converted;
  WriteLarge(original, converted);
  Write("memo.txt", "ｶﾞｯｺｳ\n");
  const std::string output = folder.string() + ".out";
  // Two runs over the same files: the later one reaches memo.txt after the earlier did it.
  // Backing up the earlier one's result would replace the only copy of the original.
  const pid_t later = StartAndStopWhileConverting(
      {"convert", "-i", "--encoding=utf-8", "big.txt", "memo.txt"}, output);
  EXPECT_EQ(Cli({"convert", "-i", "memo.txt"}).exitStatus, 0);
  ::kill(later, SIGCONT);
  EXPECT_EQ(WaitForExit(later), 1);
  EXPECT_EQ(Read("memo.txt"), "ガッコウ\n");
  EXPECT_EQ(Read("memo.old"), "ｶﾞｯｺｳ\n");
  EXPECT_EQ(Read("big.txt"), converted);
  EXPECT_NE(ReadFile(output).find("memo.txt：他で使用中のため変換しません。\n"), std::string::npos)
      << ReadFile(output);
  fs::remove(output);
}

}  // namespace
}  // namespace quobrel
