// Symbolic links planted for a run of root's: followed only where the link and what it leads
// to belong to the same user, and, in a walk, only to a file of the tree walked; a folder or
// link of the walk swapped meanwhile leads nowhere. Tried through the real quobrel-cli.
#include <algorithm>
#include <sstream>

#include "tests/file_safety.h"

namespace quobrel {
namespace {

using namespace testing;
using Listing = std::vector<std::string>;

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

class FileLinks : public BatchFolder {
 protected:
  void SetUp() override {
    BatchFolder::SetUp();
    fs::permissions(folder, fs::perms(0755));
  }
  // Owner and mode of a file or folder; a link only changes hands.
  void Own(const std::string& name, uid_t user, mode_t mode = 0) const {
    ASSERT_EQ(::lchown(Path(name).c_str(), user, user), 0) << name;
    if (mode != 0) {
      ASSERT_EQ(::chmod(Path(name).c_str(), mode), 0) << name;
    }
  }
  void Folder(const std::string& name, uid_t user, mode_t mode) const {
    fs::create_directories(Path(name));
    Own(name, user, mode);
  }
  void Link(const std::string& name, const fs::path& to, uid_t user) const {
    fs::create_symlink(to, Path(name));
    Own(name, user);
  }
  std::string Error(const std::string& name, const std::string& reason) const {
    return "quobrel-cli: " + Path(name).string() + ": " + reason;
  }
};

TEST_F(FileLinks, AWalkFollowsALinkOnlyToItsOwnUsersFileInTheTree) {
  // Root's files out of the tree, and in a hidden folder of it that no walk lists.
  Folder("vault", 0, 0700);
  Write("vault/secret.txt", kHalfKana);
  Folder("tree/.vault", 0, 0700);
  Write("tree/.vault/secret.txt", kHalfKana);
  // Nobody's folder in the tree, with their links to root's files, and to their own.
  Folder("tree/sub", kNobody, 0755);
  Link("tree/sub/todo.txt", Path("vault/secret.txt"), kNobody);
  Link("tree/sub/inside.txt", "../.vault/secret.txt", kNobody);
  Folder("tree/.notes", kNobody, 0755);
  Write("tree/.notes/n.txt", kHalfKana);
  Own("tree/.notes/n.txt", kNobody, 0644);
  Link("tree/sub/notes.txt", "../.notes/n.txt", kNobody);
  // Root's own link out of the tree.
  Link("tree/outside.txt", Path("vault/secret.txt"), 0);

  const ProcessResult r = Cli({"convert", "-i", "-r", "tree"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, Path("tree/sub/notes.txt").string() + "：変換終了\n全て変換終了\n");
  EXPECT_EQ(
      SortedLines(r.err),
      (Listing{
          Error("tree/outside.txt", "passed by: a symbolic link out of the folder walked"),
          Error("tree/sub/inside.txt", "passed by: a symbolic link to what another user owns"),
          Error("tree/sub/todo.txt", "passed by: a symbolic link to what another user owns")}));
  EXPECT_EQ(Read("vault/secret.txt"), kHalfKana);
  EXPECT_EQ(Read("tree/.vault/secret.txt"), kHalfKana);
  EXPECT_EQ(Names("vault"), Listing{"secret.txt"});
  EXPECT_EQ(Names("tree/.vault"), Listing{"secret.txt"});
  EXPECT_EQ(Names("tree"), (Listing{".notes", ".vault", "outside.txt", "sub"}));
  EXPECT_EQ(Names("tree/sub"), (Listing{"inside.txt", "notes.txt", "todo.txt"}));
  // The link of nobody's to their own file: converted, the backup beside the file.
  EXPECT_EQ(Read("tree/.notes/n.txt"), kFullKana);
  EXPECT_EQ(Read("tree/.notes/n.old"), kHalfKana);
  EXPECT_TRUE(fs::is_symlink(Path("tree/sub/notes.txt")));
  EXPECT_EQ(StatusOf(Path("tree/.notes/n.txt")).st_uid, kNobody);
}

TEST_F(FileLinks, AFolderOrLinkSwappedDuringAWalkLeadsNowhere) {
  const std::string half = "ｶﾞｷﾞ abc 123\r\n", full = "ガギ abc 123\r\n";
  std::string big, converted;
  for (int i = 0; i < 2'000'000; ++i) {
    big += half;
    converted += full;
  }
  Folder("tree/sub", 0, 0755);
  Folder("tree/tub", 0, 0755);
  Write("tree/a-big.txt", big);
  Write("tree/sub/x.txt", half);
  Write("tree/tub/y.txt", half);
  Folder("tree/.own", 0, 0755);
  Write("tree/.own/c.txt", half);
  Link("tree/c-link.txt", ".own/c.txt", 0);
  // A folder of root's alone, and one that was never in the tree.
  Folder("vault", 0, 0700);
  Write("vault/x.txt", half);
  Folder("decoy", 0, 0755);
  Write("decoy/y.txt", half);

  const std::string errors = Path("errors");
  // At the lowest priority, so that this process sees it write before it is done.
  const pid_t run = StartProcess(
      QUOBREL_CLI_PATH, {"convert", "-i", "--encoding=utf-8", "-r", Path("tree")}, [&errors] {
        if (::nice(19) == -1) {
        }
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 2);
      });
  while (Running(run) && TemporaryFilesOpen(run, Path("tree")).empty()) {
  }
  ::kill(run, SIGSTOP);
  EXPECT_FALSE(TemporaryFilesOpen(run, Path("tree")).empty()) << "it was done before it was seen";
  // While it writes the big file, the folders after it are moved away: one for a link to
  // root's folder, the other for another folder; and the link after it is made to lead out
  // of the tree.
  fs::rename(Path("tree/sub"), Path("sub-moved"));
  fs::create_symlink(Path("vault"), Path("tree/sub"));
  fs::rename(Path("tree/tub"), Path("tub-moved"));
  fs::rename(Path("decoy"), Path("tree/tub"));
  Link("tree/c-link.new", Path("vault/x.txt"), 0);
  fs::rename(Path("tree/c-link.new"), Path("tree/c-link.txt"));
  ::kill(run, SIGCONT);
  EXPECT_EQ(WaitForExit(run), 1);

  EXPECT_EQ(Read("tree/a-big.txt"), converted);
  for (const char* name : {"vault/x.txt", "tree/tub/y.txt", "sub-moved/x.txt", "tub-moved/y.txt"})
    EXPECT_EQ(Read(name), half) << name;
  EXPECT_EQ(Names("vault"), Listing{"x.txt"});
  EXPECT_EQ(Names("tree/tub"), Listing{"y.txt"});
  EXPECT_EQ(Names("sub-moved"), Listing{"x.txt"});
  EXPECT_EQ(Names("tub-moved"), Listing{"y.txt"});
  const std::vector<std::string> failed = SortedLines(Read("errors"));
  ASSERT_EQ(failed.size(), 4u) << Read("errors");
  EXPECT_EQ(failed[0], Error("tree/c-link.txt", "a symbolic link out of the folder walked"));
  EXPECT_TRUE(failed[1].starts_with(Error("tree/sub/x.txt", ""))) << failed[1];
  EXPECT_TRUE(failed[2].starts_with(Error("tree/tub/y.txt", ""))) << failed[2];
  EXPECT_EQ(failed[3], "quobrel-cli: 4 files: 1 done, 3 not done");
}

TEST_F(FileLinks, ANamedOrOutputLinkIsFollowedOnlyToItsOwnUsersFile) {
  const std::string refused = "：リンク先をたどれないため変換しません。\n";
  const std::string toOthers = "a symbolic link to what another user owns";
  Folder("vault", 0, 0700);
  Write("vault/doc.txt", kHalfKana);
  Folder("theirs", kNobody, 0755);
  Write("theirs/t.txt", kHalfKana);
  Own("theirs/t.txt", kNobody, 0644);
  // Named: nobody's link to root's file, and root's to nobody's.
  Link("named.txt", Path("vault/doc.txt"), kNobody);
  Link("root.txt", Path("theirs/t.txt"), 0);
  ProcessResult r = Cli({"convert", "-i", "named.txt", "root.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "named.txt" + refused + "root.txt" + refused + "全て変換終了\n");
  EXPECT_EQ(r.err, Error("named.txt", toOthers) + "\n" + Error("root.txt", toOthers) +
                       "\nquobrel-cli: 2 files: 0 done, 2 not done\n");
  EXPECT_EQ(Read("theirs/t.txt"), kHalfKana);
  EXPECT_EQ(Names("theirs"), Listing{"t.txt"});

  // Nobody's output folder, with their links to root's file and to a name in root's
  // folder; and root's own link there to root's own file.
  Folder("src", 0, 0755);
  for (const char* name : {"doc.txt", "new.txt", "mine.txt"})
    Write("src/" + std::string(name), kHalfKana);
  Folder("out", kNobody, 0755);
  Link("out/doc.txt", Path("vault/doc.txt"), kNobody);
  Link("out/new.txt", Path("vault/new.txt"), kNobody);
  Folder("dest", 0, 0755);
  Write("dest/mine.txt", "earlier");
  Link("out/mine.txt", Path("dest/mine.txt"), 0);
  r = Cli({"convert", "--output-dir=" + Path("out").string(), "src/doc.txt", "src/new.txt",
           "src/mine.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "doc.txt" + refused + "new.txt" + refused + "mine.txt：変換終了\n全て変換終了\n");
  EXPECT_EQ(r.err, Error("src/doc.txt", toOthers) + "\n" + Error("src/new.txt", toOthers) +
                       "\nquobrel-cli: 3 files: 1 done, 2 not done\n");
  EXPECT_EQ(Read("vault/doc.txt"), kHalfKana);
  EXPECT_EQ(Names("vault"), Listing{"doc.txt"});
  EXPECT_EQ(Names("out"), (Listing{"doc.txt", "mine.txt", "new.txt"}));
  EXPECT_TRUE(fs::is_symlink(Path("out/mine.txt")));
  EXPECT_EQ(Read("dest/mine.txt"), kFullKana);
  EXPECT_EQ(Read("dest/mine.old"), "earlier");
  EXPECT_EQ(Names("src"), (Listing{"doc.txt", "mine.txt", "new.txt"}));
}

}  // namespace
}  // namespace quobrel
