// The batches through real files in temporary folders, run by quobrel-cli, which shares
// the window's batch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/batch_folder.h"

namespace quobrel {
namespace {

using namespace testing;
using FileBatch = BatchFolder;

TEST_F(FileBatch, InPlaceKeepsTheFormerTextAsOld) {
  Write("memo.txt", kHalfKana + "  x\r\n");
  const ProcessResult first = Cli({"convert", "-i", "memo.txt"});
  EXPECT_EQ(first.exitStatus, 0);
  EXPECT_EQ(first.out, "memo.txt：変換終了\n全て変換終了\n");
  EXPECT_EQ(Read("memo.txt"), kFullKana + "\x81\x40x\r\n");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "  x\r\n");
  Cli({"convert", "-i", "--katakana=half", "memo.txt"});
  EXPECT_EQ(Read("memo.old"), kFullKana + "\x81\x40x\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"memo.old", "memo.txt"}));
}

TEST_F(FileBatch, LineBreaksAreKeptOrWrittenLineByLine) {
  struct Case {
    std::string before, lines;  // keeping is always `before`
  };
  const Case cases[] = {
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\r\nb", "a\r\nb\r\n"},
      {"", "\r\n"},
      {"a", "a\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\r\n\r\n", "a\r\n\r\n"},
      // A blank last line after a lone CR is a line.
      {"a\r\r\n", "a\r\n\r\n"},
      {"a\r\r", "a\r\n\r\n"},
      {"a\rb\r\r", "a\r\nb\r\n\r\n"},
      // All LF: kept LF, one at the end.
      {"a\nb", "a\nb\n"},
      {"a\nb\n", "a\nb\n"},
      {"a\n\n", "a\n\n"},
      // Mixed: the lines end at CR LF; a lone LF is part of its line.
      {"a\r\nb\nc", "a\r\nb\nc\r\n"},
  };
  for (const Case& c : cases) {
    Write("t.txt", c.before);
    ASSERT_EQ(Cli({"convert", "-i", "t.txt"}).exitStatus, 0);
    EXPECT_EQ(Read("t.txt"), c.before) << c.before;
    Write("t.txt", c.before);
    Cli({"convert", "-i", "--line-breaks=window", "t.txt"});
    EXPECT_EQ(Read("t.txt"), c.lines) << c.before;
  }
  // The commands see CR LF, whatever the file has: a search across lines finds its text.
  Write("t.txt", "a\nb\n");
  Cli({"replace", "-i", "--search=a\r\nb", "--replace=x", "--line-breaks=window", "t.txt"});
  EXPECT_EQ(Read("t.txt"), "x\n");
}

TEST_F(FileBatch, IntoAnOutputFolder) {
  Write("memo.txt", kHalfKana);
  fs::create_directory(Path("out"));
  EXPECT_EQ(Cli({"convert", "--output-dir=" + Path("out").string(), "memo.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("out/memo.txt"), kFullKana);
  EXPECT_FALSE(fs::exists(Path("out/memo.old")));  // nothing was there to keep
  EXPECT_EQ(Read("memo.txt"), kHalfKana);          // the source is not touched
  Write("out/memo.txt", "earlier");
  Cli({"convert", "--output-dir=" + Path("out").string() + "/", "memo.txt"});
  EXPECT_EQ(Read("out/memo.old"), "earlier");
  EXPECT_EQ(Read("out/memo.txt"), kFullKana);

  // The source folder itself as the output folder: as in place.
  Cli({"convert", "--output-dir=" + folder.string(), "memo.txt"});
  EXPECT_EQ(Read("memo.txt"), kFullKana);
  EXPECT_EQ(Read("memo.old"), kHalfKana);
}

TEST_F(FileBatch, ReplacementWritesOnlyFilesWithOccurrences) {
  Write("a.txt", "abc ABC abc");
  Write("b.txt", "nothing here");
  Write("b.old", "an earlier run's original");
  const ProcessResult r = Cli({"replace", "-i", "--search=abc", "--replace=x", "a.txt", "b.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "a.txt：変換終了(3)\nb.txt：変換個所なし(0)\n全て変換終了\n");
  EXPECT_EQ(Read("a.txt"), "x x x");
  EXPECT_EQ(Read("a.old"), "abc ABC abc");
  EXPECT_EQ(Read("b.txt"), "nothing here");
  EXPECT_EQ(Read("b.old"), "an earlier run's original");
  Write("e.txt", "");
  EXPECT_EQ(Cli({"replace", "-i", "--search=a", "--replace=b", "e.txt"}).out,
            "e.txt：変換個所なし(0)\n全て変換終了\n");
  EXPECT_FALSE(fs::exists(Path("e.old")));
}

TEST_F(FileBatch, FilesThatCannotBeDoneAreLeftAsTheyWere) {
  Write("memo.txt", kHalfKana + "a");
  Write("memo.csv", kHalfKana + "b");
  Write("bad.txt", "ok\x82");
  Write("euro.txt", "E");
  // Named, a file is judged by its contents: a JPEG's header holds NUL bytes.
  const std::string photo("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
  Write("PHOTO.JPG", photo);
  Write("locked.txt", kHalfKana);
  fs::permissions(Path("locked.txt"), fs::perms::owner_read | fs::perms::group_read);
  const ProcessResult r =
      Cli({"replace", "-i", "--search=E", "--replace=€", "--match-case", "--encoding=cp932",
           "memo.txt", "memo.csv", "bad.txt", "euro.txt", "PHOTO.JPG", "gone.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "memo.txt：変換個所なし(0)\n"
            "memo.csv：変換個所なし(0)\n"
            "bad.txt：文字コードが正しくないため変換しません。\n"
            "euro.txt：保存できない文字ができるため変換しません。\n"
            "PHOTO.JPG：バイナリファイルのため変換しません。\n" +
                Path("gone.txt").string() + "：ファイルが見つかりませんでした。\n全て変換終了\n");
  const ProcessResult twins = Cli({"convert", "-i", "memo.txt", "memo.csv", "locked.txt"});
  EXPECT_EQ(twins.out,
            "memo.txt：変換終了\n"
            "memo.csv：先のファイルとバックアップ名が同じため変換しません。\n"
            "locked.txt：書き込みが許可されていないため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("memo.old"), kHalfKana + "a");
  EXPECT_EQ(Read("memo.csv"), kHalfKana + "b");
  EXPECT_EQ(Read("bad.txt"), "ok\x82");
  EXPECT_EQ(Read("euro.txt"), "E");
  EXPECT_EQ(Read("PHOTO.JPG"), photo);
  EXPECT_EQ(Read("locked.txt"), kHalfKana);
  // An output folder that is not there fails the run before any file.
  const ProcessResult nowhere =
      Cli({"convert", "--output-dir=" + Path("no such folder").string(), "memo.txt"});
  EXPECT_EQ(nowhere.exitStatus, 1);
  EXPECT_EQ(nowhere.out, "");
  EXPECT_EQ(nowhere.err, "quobrel-cli: " + Path("no such folder").string() + ": no such folder\n");
}

TEST_F(FileBatch, ALinkIsWrittenThroughAndPermissionsKept) {
  fs::create_directory(Path("real"));
  Write("real/data.txt", kHalfKana);
  fs::permissions(Path("real/data.txt"), fs::perms(0640));
  fs::create_symlink(Path("real/data.txt"), Path("link.txt"));
  Cli({"convert", "-i", "link.txt"});
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(Read("real/data.txt"), kFullKana);
  EXPECT_EQ(fs::status(Path("real/data.txt")).permissions(), fs::perms(0640));
  // The backup is beside the file, never beside a link to it.
  EXPECT_EQ(Read("real/data.old"), kHalfKana);
  EXPECT_FALSE(fs::exists(Path("link.old")));
}

}  // namespace
}  // namespace quobrel
