// quobrel-cli's options for files: a dry run, and folders walked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/batch_folder.h"

namespace quobrel {
namespace {

using namespace testing;
using FileOptions = BatchFolder;

TEST_F(FileOptions, ADryRunTellsEachFileItsFateAndChangesNothing) {
  Write("a.txt", kHalfKana + "\r\n");
  Write("b.txt", "abc\r\n");
  Write("bad.txt", "ok\r\n\x82");  // a lead byte alone
  const std::vector<std::string> before = Names();

  ProcessResult r =
      Cli({"convert", "-i", "-n", "--encoding=cp932", "a.txt", "bad.txt", "gone.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "a.txt：変換終了\nbad.txt：文字コードが正しくないため変換しません。\n" +
                       Path("gone.txt").string() +
                       "：ファイルが見つかりませんでした。\n全て変換終了\n");
  EXPECT_NE(r.err.find("bad.txt: not valid Shift_JIS (line 2, column 1, byte 4)"),
            std::string::npos)
      << r.err;

  r = Cli({"replace", "-i", "--search=b", "--replace=x", "--dry-run", "a.txt", "b.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "a.txt：変換個所なし(0)\nb.txt：変換終了(1)\n全て変換終了\n");

  // Into a folder too: nothing is made there.
  fs::create_directory(Path("out"));
  EXPECT_EQ(Cli({"convert", "-n", "--output-dir=" + Path("out").string(), "a.txt"}).exitStatus, 0);
  EXPECT_TRUE(Names("out").empty());

  std::vector<std::string> after = Names();
  std::erase(after, "out");
  EXPECT_EQ(after, before);
  EXPECT_EQ(Read("a.txt"), kHalfKana + "\r\n");
  EXPECT_EQ(Read("b.txt"), "abc\r\n");
}

TEST_F(FileOptions, ARecursiveRunTakesTheFilesAFileListWouldOffer) {
  for (const std::string name : {"top", "top/sub", "top/sub/deeper", "top/.hidden", "elsewhere"}) {
    fs::create_directory(Path(name));
  }
  for (const std::string name :
       {"top/b.txt", "top/a.txt", "top/sub/c", "top/sub/deeper/d.md", "elsewhere/e.txt"}) {
    Write(name, kHalfKana);
  }
  // Passed by: hidden files and folders, backups, kinds never converted, a link to a
  // folder (here one that would lead round in a circle, and one out of the tree).
  for (const std::string name : {"top/.f.txt", "top/.hidden/g.txt", "top/z.old", "top/h.jpg"})
    Write(name, "untouched");
  fs::create_directory_symlink("..", Path("top/sub/up"));
  fs::create_directory_symlink(Path("elsewhere"), Path("top/out"));
  // A link to a file of the tree is a file of the list, even where the walk does not go;
  // one out of the tree is passed by, and said so.
  Write("top/.hidden/linked.txt", kHalfKana);
  fs::create_symlink(".hidden/linked.txt", Path("top/link.txt"));
  fs::create_symlink(Path("elsewhere/e.txt"), Path("top/away.txt"));

  const ProcessResult r = Cli({"convert", "-i", "-r", "top"});
  EXPECT_EQ(r.exitStatus, 1);
  const std::string top = Path("top").string();
  EXPECT_EQ(r.err, "quobrel-cli: " + top +
                       "/away.txt: passed by: a symbolic link out of the folder walked\n");
  EXPECT_EQ(r.out, top + "/a.txt：変換終了\n" + top + "/b.txt：変換終了\n" + top +
                       "/link.txt：変換終了\n" + top + "/sub/c：変換終了\n" + top +
                       "/sub/deeper/d.md：変換終了\n全て変換終了\n");
  for (const std::string name :
       {"top/a.txt", "top/b.txt", "top/sub/c", "top/sub/deeper/d.md", "top/.hidden/linked.txt"}) {
    EXPECT_EQ(Read(name), kFullKana) << name;
  }
  EXPECT_EQ(Read("elsewhere/e.txt"), kHalfKana);
  for (const std::string name : {"top/.f.txt", "top/.hidden/g.txt", "top/z.old", "top/h.jpg"})
    EXPECT_EQ(Read(name), "untouched") << name;

  // Without the option a folder is no file; a file named is taken as it is (here one the
  // conversion leaves as it was).
  const ProcessResult flat = Cli({"convert", "-i", "-n", "top", "top/.f.txt"});
  EXPECT_EQ(flat.exitStatus, 1);
  EXPECT_EQ(flat.out,
            "top：通常のファイルではないため変換しません。\n.f.txt：変換個所なし\n全て変換終了\n");
}

}  // namespace
}  // namespace quobrel
