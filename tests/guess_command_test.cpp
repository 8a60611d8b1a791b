// quobrel-cli guess through the real program: its word for each kind of text, its JSON, and
// the files it cannot read, with the exit status each leads to.
#include <gtest/gtest.h>

#include "encoding/text_codec.h"
#include "tests/file_safety.h"

namespace quobrel::testing {
namespace {

// A few lines of ordinary Japanese: enough text that no encoding but its own reads it as such.
const std::u16string kJapanese =
    u"日本語のテキストを、三つのエンコーディングでそれぞれ保存しました。\n"
    u"どのファイルも中身は同じですが、バイトの並びはまったく違います。\n"
    u"変換はせずに、それぞれの文字コードだけを表示してください。\n";

std::string Japanese(TextEncoding encoding) { return *Encode(kJapanese, encoding); }

// In the child, before quobrel-cli starts: messages in English, and standard input a pipe
// that holds `input`, as a shell pipeline gives it (which cannot be read twice).
std::function<void()> InEnglish(const std::string& input = "", bool piped = false) {
  return [input, piped] {
    ::setenv("LC_ALL", "C", 1);
    int ends[2];
    if (!piped || ::pipe(ends) != 0) return;
    (void)!::write(ends[1], input.data(), input.size());  // well within a pipe's buffer
    ::close(ends[1]);
    ::dup2(ends[0], STDIN_FILENO);
  };
}

class GuessCommand : public FileSafety {
 protected:
  void SetUp() override {
    FileSafety::SetUp();
    Write("utf8.txt", Japanese(TextEncoding::Utf8));
    Write("sjis.txt", Japanese(TextEncoding::Cp932));
    Write("euc.txt", Japanese(TextEncoding::EucJp));
    Write("ascii.txt", "Plain text,\nwith nothing beyond ASCII.\n");
  }
  // quobrel-cli guess with the arguments, the files among them the folder's.
  ProcessResult Guess(std::vector<std::string> arguments, const std::string& input = "",
                      bool piped = false) const {
    arguments.insert(arguments.begin(), "guess");
    return RunProcess(QUOBREL_CLI_PATH, InFolder(std::move(arguments)), input,
                      InEnglish(input, piped));
  }
  std::string Named(const std::string& name, const std::string& encoding) const {
    return Path(name).string() + ": " + encoding + "\n";
  }
};

TEST_F(GuessCommand, EachTextIsNamedByItsEncodingInTheOrderGiven) {
  Write("bom.txt", "\xEF\xBB\xBF" + Japanese(TextEncoding::Utf8));
  Write("nul.txt", std::string("text\0with a NUL\n", 16));
  Write("none.txt", "\xFF\xFE\xFF\xFE\n");  // valid in no encoding
  Write("empty.txt", "");
  const ProcessResult told =
      Guess({"sjis.txt", "utf8.txt", "bom.txt", "euc.txt", "ascii.txt", "empty.txt"});
  EXPECT_EQ(told.exitStatus, 0) << told.err;
  EXPECT_EQ(told.out, Named("sjis.txt", "Shift_JIS") + Named("utf8.txt", "UTF-8") +
                          Named("bom.txt", "UTF-8 (BOM)") + Named("euc.txt", "EUC-JP") +
                          Named("ascii.txt", "ASCII") + Named("empty.txt", "ASCII"));
  EXPECT_EQ(told.err, "");

  // What is not told apart is named so, and fails the run, but the files after it are told.
  Write("both.txt", "\xB1\xB2");  // ｱｲ in Shift_JIS, a kanji in EUC-JP
  const ProcessResult untold = Guess({"nul.txt", "none.txt", "both.txt", "ascii.txt"});
  EXPECT_EQ(untold.exitStatus, 1);
  const std::string undecided = Path("both.txt").string() + ": undecided (";
  const std::string expectedStart = Named("nul.txt", "binary") + Named("none.txt", "binary");
  EXPECT_TRUE(untold.out.starts_with(expectedStart + undecided)) << untold.out;
  EXPECT_TRUE(untold.out.ends_with(")\n" + Named("ascii.txt", "ASCII"))) << untold.out;
  EXPECT_EQ(untold.err, "");
  // Nothing of the files has changed, and nothing was left beside them.
  EXPECT_EQ(Read("sjis.txt"), Japanese(TextEncoding::Cp932));
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"ascii.txt", "bom.txt", "both.txt", "empty.txt", "euc.txt",
                                      "none.txt", "nul.txt", "sjis.txt", "utf8.txt"}));
}

TEST_F(GuessCommand, JsonGivesAnObjectALineForEachFile) {
  Write("say \"hi\".txt", Japanese(TextEncoding::Cp932));
  Write("both.txt", "\xB1\xB2");
  Write("nul.txt", std::string("\0", 1));
  const ProcessResult json =
      Guess({"--json", "say \"hi\".txt", "utf8.txt", "gone.txt", "nul.txt", "both.txt"});
  EXPECT_EQ(json.exitStatus, 1);
  const std::string path = "{\"path\": \"" + folder.string() + "/";
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = json.out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(json.out.substr(at, end - at));
  ASSERT_EQ(lines.size(), 5U) << json.out;
  EXPECT_EQ(lines[0], path + "say \\\"hi\\\".txt\", \"encoding\": \"Shift_JIS\"}");
  EXPECT_EQ(lines[1], path + "utf8.txt\", \"encoding\": \"UTF-8\"}");
  EXPECT_EQ(lines[2], path + "gone.txt\", \"error\": \"No such file or directory\"}");
  EXPECT_EQ(lines[3], path + "nul.txt\", \"encoding\": \"binary\"}");
  EXPECT_TRUE(lines[4].starts_with(path + "both.txt\", \"encoding\": \"undecided\", " +
                                   "\"candidates\": [\""))
      << lines[4];
  EXPECT_TRUE(lines[4].ends_with("\"]}")) << lines[4];
  // The error goes to standard error as well, as it would without --json.
  EXPECT_EQ(json.err,
            "quobrel-cli: " + Path("gone.txt").string() + ": No such file or directory\n");
  EXPECT_EQ(Guess({"--json"}, "abc").out, "{\"path\": \"-\", \"encoding\": \"ASCII\"}\n");
}

TEST_F(GuessCommand, FilesNotReadAreSaidTheOthersStillGuessedAndStandardInputIsDash) {
  fs::create_directory(Path("folder"));
  const ProcessResult missing = Guess({"gone.txt", "utf8.txt", "folder", "sjis.txt"});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.out, Named("utf8.txt", "UTF-8") + Named("sjis.txt", "Shift_JIS"));
  EXPECT_EQ(missing.err, "quobrel-cli: " + Path("gone.txt").string() +
                             ": No such file or directory\nquobrel-cli: " +
                             Path("folder").string() + ": Is a directory\n");
  // Root reads anything: the unreadable file is read as another user.
  Write("secret.txt", "secret");
  Own("secret.txt", 0, 0600);
  const ProcessResult unreadable =
      RunProcess("/usr/bin/setpriv",
                 {"--reuid=65534", "--regid=65534", "--clear-groups", "--", PublicCli(), "guess",
                  Path("secret.txt"), Path("euc.txt")},
                 "", InEnglish());
  EXPECT_EQ(unreadable.exitStatus, 1);
  EXPECT_EQ(unreadable.out, Named("euc.txt", "EUC-JP"));
  EXPECT_EQ(unreadable.err,
            "quobrel-cli: " + Path("secret.txt").string() + ": Permission denied\n");

  // Standard input without a file, or as -, among files, from a file or a pipe.
  const std::string sjis = Japanese(TextEncoding::Cp932);
  for (const bool piped : {false, true}) {
    EXPECT_EQ(Guess({}, sjis, piped).out, "-: Shift_JIS\n");
    const ProcessResult among = Guess({"utf8.txt", "-", "ascii.txt"}, sjis, piped);
    EXPECT_EQ(among.exitStatus, 0) << among.err;
    EXPECT_EQ(among.out,
              Named("utf8.txt", "UTF-8") + "-: Shift_JIS\n" + Named("ascii.txt", "ASCII"));
    const ProcessResult binary = Guess({"-"}, std::string("a\0b", 3), piped);
    EXPECT_EQ(binary.exitStatus, 1);
    EXPECT_EQ(binary.out, "-: binary\n");
  }

  // The command line: its help, and the options of the other commands refused.
  const ProcessResult help = Guess({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: quobrel-cli guess [--json] [FILE...]\n")) << help.out;
  EXPECT_NE(RunProcess(QUOBREL_CLI_PATH, {"--help"}, "").out.find("\n  guess "), std::string::npos);
  const std::pair<const char*, const char*> foreign[] = {
      {"--digits=full", "--digits belongs to convert"},
      {"--search=a", "--search belongs to replace"},
      {"-i", "-i belongs to convert or replace"},
      {"--encoding=utf-8", "--encoding belongs to convert or replace"}};
  for (const auto& [option, said] : foreign) {
    const ProcessResult refused = Guess({option, "utf8.txt"});
    EXPECT_EQ(refused.exitStatus, 2) << option;
    EXPECT_EQ(refused.out, "") << option;
    EXPECT_TRUE(refused.err.starts_with("quobrel-cli: " + std::string(said) + "\n")) << refused.err;
  }
}

}  // namespace
}  // namespace quobrel::testing
