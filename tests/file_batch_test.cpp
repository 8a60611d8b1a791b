// The batches through real files in temporary folders, run by quobrel-cli, which shares
// the window's batch.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "run_process.h"

namespace quobrel {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;

class FileBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("quobrel-batch-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
  }

  fs::path Path(const std::string& name) const { return folder / name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The names in the folder, hidden temporary files included.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  ProcessResult Cli(std::vector<std::string> arguments,
                    const std::function<void()>& inChild = {}) const {
    // After the command, the files are named within the folder.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      if (!arguments[i].starts_with("-")) arguments[i] = Path(arguments[i]);
    }
    return testing::RunProcess(QUOBREL_CLI_PATH, arguments, "", inChild);
  }

  fs::path folder;
};

// Code page 932: ｶﾞ and ガ.
const std::string kHalfGa = "\xB6\xDE";
const std::string kFullGa = "\x83\x4B";

TEST_F(FileBatch, InPlaceKeepsTheFormerTextAsOld) {
  Write("memo.txt", kHalfGa + "  x\r\n");
  const ProcessResult first = Cli({"convert", "memo.txt"});
  EXPECT_EQ(first.exitStatus, 0);
  EXPECT_EQ(first.out, "memo.txt：変換終了\n全て変換終了\n");
  EXPECT_EQ(Read("memo.txt"), kFullGa + "\x81\x40x\r\n");
  EXPECT_EQ(Read("memo.old"), kHalfGa + "  x\r\n");
  Cli({"convert", "--katakana=half", "memo.txt"});
  EXPECT_EQ(Read("memo.old"), kFullGa + "\x81\x40x\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"memo.old", "memo.txt"}));
}

TEST_F(FileBatch, LineEndsBecomeOneCrLfAtTheEnd) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb\r\n", "a\r\nb\r\n"}, {"a\r\nb", "a\r\nb\r\n"}, {"", "\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},     {"a\nb", "a\nb\r\n"},     {"a\r\n\r\n", "a\r\n\r\n"}};
  for (const auto& [before, after] : cases) {
    Write("t.txt", before);
    Cli({"convert", "t.txt"});
    EXPECT_EQ(Read("t.txt"), after) << before;
  }
}

TEST_F(FileBatch, IntoAnOutputFolder) {
  Write("memo.txt", kHalfGa);
  fs::create_directory(Path("out"));
  EXPECT_EQ(Cli({"convert", "--output-dir=" + Path("out").string(), "memo.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("out/memo.txt"), kFullGa + "\r\n");
  EXPECT_FALSE(fs::exists(Path("out/memo.old")));  // nothing was there to keep
  EXPECT_EQ(Read("memo.txt"), kHalfGa);            // the source is not touched
  Write("out/memo.txt", "earlier");
  Cli({"convert", "--output-dir=" + Path("out").string() + "/", "memo.txt"});
  EXPECT_EQ(Read("out/memo.old"), "earlier");
  EXPECT_EQ(Read("out/memo.txt"), kFullGa + "\r\n");

  // The source folder itself as the output folder: as in place.
  Cli({"convert", "--output-dir=" + folder.string(), "memo.txt"});
  EXPECT_EQ(Read("memo.txt"), kFullGa + "\r\n");
  EXPECT_EQ(Read("memo.old"), kHalfGa);
}

TEST_F(FileBatch, ReplacementWritesOnlyFilesWithOccurrences) {
  Write("a.txt", "abc ABC abc");
  Write("b.txt", "nothing here");
  Write("b.old", "an earlier run's original");
  const ProcessResult r = Cli({"replace", "--search=abc", "--replace=x", "a.txt", "b.txt"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "a.txt：変換終了(3)\nb.txt：変換個所なし(0)\n全て変換終了\n");
  EXPECT_EQ(Read("a.txt"), "x x x\r\n");
  EXPECT_EQ(Read("a.old"), "abc ABC abc");
  EXPECT_EQ(Read("b.txt"), "nothing here");
  EXPECT_EQ(Read("b.old"), "an earlier run's original");
  Write("e.txt", "");
  EXPECT_EQ(Cli({"replace", "--search=a", "--replace=b", "e.txt"}).out,
            "e.txt：変換個所なし(0)\n全て変換終了\n");
  EXPECT_FALSE(fs::exists(Path("e.old")));
}

TEST_F(FileBatch, FilesThatCannotBeDoneAreLeftAsTheyWere) {
  Write("memo.txt", "a");
  Write("memo.csv", "b");
  Write("bad.txt", "ok\x82");
  Write("euro.txt", "E");
  Write("PHOTO.JPG", "image");
  Write("locked.txt", kHalfGa);
  fs::permissions(Path("locked.txt"), fs::perms::owner_read | fs::perms::group_read);
  const ProcessResult r = Cli({"replace", "--search=E", "--replace=€", "--match-case", "memo.txt",
                               "memo.csv", "bad.txt", "euro.txt", "PHOTO.JPG", "gone.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "memo.txt：変換個所なし(0)\n"
            "memo.csv：変換個所なし(0)\n"
            "bad.txt：文字コードが正しくないため変換しません。\n"
            "euro.txt：保存できない文字ができるため変換しません。\n"
            "PHOTO.JPG：変換できない種類のファイルです。\n" +
                Path("gone.txt").string() + "：ファイルが見つかりませんでした。\n全て変換終了\n");
  const ProcessResult twins = Cli({"convert", "memo.txt", "memo.csv", "locked.txt"});
  EXPECT_EQ(twins.out,
            "memo.txt：変換終了\n"
            "memo.csv：先のファイルとバックアップ名が同じため変換しません。\n"
            "locked.txt：書き込みに失敗しました。\n全て変換終了\n");
  EXPECT_EQ(Read("memo.old"), "a");
  EXPECT_EQ(Read("memo.csv"), "b");
  EXPECT_EQ(Read("bad.txt"), "ok\x82");
  EXPECT_EQ(Read("euro.txt"), "E");
  EXPECT_EQ(Read("locked.txt"), kHalfGa);
  EXPECT_EQ(Cli({"convert", "--output-dir=" + Path("no such folder").string(), "memo.txt"}).out,
            "memo.txt：書き込みに失敗しました。\n全て変換終了\n");
}

TEST_F(FileBatch, ALinkIsWrittenThroughAndPermissionsKept) {
  fs::create_directory(Path("real"));
  Write("real/data.txt", kHalfGa);
  fs::permissions(Path("real/data.txt"), fs::perms(0640));
  fs::create_symlink(Path("real/data.txt"), Path("link.txt"));
  Cli({"convert", "link.txt"});
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(Read("real/data.txt"), kFullGa + "\r\n");
  EXPECT_EQ(fs::status(Path("real/data.txt")).permissions(), fs::perms(0640));
  EXPECT_EQ(Read("link.old"), kHalfGa);
}

TEST_F(FileBatch, AFullDiskLeavesTheFileWhole) {
  const std::string text(100'000, 'a');
  Write("big.txt", text);
  const ProcessResult r = Cli({"convert", "--letters=full", "big.txt"}, [] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{150'000, 150'000};  // the backup fits, the result does not
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(r.out, "big.txt：書き込みに失敗しました。\n全て変換終了\n");
  EXPECT_EQ(Read("big.txt"), text);
  EXPECT_EQ(Names(), (std::vector<std::string>{"big.old", "big.txt"}));  // no stray temporary file
}

TEST_F(FileBatch, AKilledRunLeavesTheSourceWholeOrConverted) {
  std::string text, converted;
  for (int i = 0; i < 2'000'000; ++i) {
    text += "ｶﾞｷﾞ abc 123\r\n";
    converted += "ガギ abc 123\r\n";
  }
  Write("big.txt", text);
  const pid_t child = fork();
  if (child == 0) {
    const std::string path = Path("big.txt");
    execl(QUOBREL_CLI_PATH, QUOBREL_CLI_PATH, "convert", "--encoding=utf-8", path.c_str(), nullptr);
    _exit(127);
  }
  // Killed once the temporary file of its result has appeared, while it writes.
  auto writing = [&] {
    const auto names = Names();
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return name.starts_with(".big.txt."); });
  };
  bool sawWriting = false;
  while (!(sawWriting = writing()) && waitpid(child, nullptr, WNOHANG) == 0) {
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  const std::string after = Read("big.txt");
  EXPECT_TRUE(sawWriting);
  EXPECT_TRUE(after == text || after == converted) << after.size();
}

}  // namespace
}  // namespace quobrel
