// quobrel-cli as a shell user and a script meet it, in the C locale and in Japanese: standard
// output by default, files in place or into a folder on request, encodings by their usual
// names, the line-break rules, status lines and JSON, and a clean stop on a signal.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/file_safety.h"

namespace quobrel::testing {
namespace {

constexpr auto kNowhere = std::string::npos;

class CliConventions : public FileSafety, public ::testing::WithParamInterface<std::string> {
 protected:
  ProcessResult Run(std::vector<std::string> arguments, const std::string& input = "") const {
    const std::string locale = GetParam();
    return RunProcess(QUOBREL_CLI_PATH, InFolder(std::move(arguments)), input,
                      [locale] { ::setenv("LC_ALL", locale.c_str(), 1); });
  }
  bool InEnglish() const { return GetParam() == "C"; }
  // A message on standard error: in English in the C locale, in other words in Japanese.
  void ExpectSaid(const std::string& err, const std::string& english) const {
    if (InEnglish()) {
      EXPECT_EQ(err, english);
    } else {
      EXPECT_TRUE(err.starts_with("quobrel-cli: ")) << err;
      EXPECT_NE(err, english);
    }
  }
};

INSTANTIATE_TEST_SUITE_P(Locales, CliConventions, ::testing::Values("C", "ja_JP.UTF-8"),
                         [](const auto& locale) { return locale.index == 0 ? "C" : "Japanese"; });

TEST_P(CliConventions, NamedFilesGoToStandardOutputEachReadAsWhatItIs) {
  Write("a.txt", "ｶﾞｯｺｳ 1\n");
  Write("graph.dot", kHalfKana);  // code page 932, and a kind a walk passes by
  const ProcessResult joined = Run({"convert", "a.txt", "-", "graph.dot"}, "ｱ");
  EXPECT_EQ(joined.exitStatus, 0) << joined.err;
  EXPECT_EQ(joined.out, "ガッコウ 1\nア" + kFullKana);
  EXPECT_EQ(Read("a.txt"), "ｶﾞｯｺｳ 1\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "graph.dot"}));

  // One encoding for all; what cannot be read is said, and the rest written.
  Write("binary.txt", std::string("a\0b", 3));
  const ProcessResult some =
      Run({"convert", "--output-encoding=UTF8", "graph.dot", "gone.txt", "binary.txt", "a.txt"});
  EXPECT_EQ(some.exitStatus, 1);
  EXPECT_EQ(some.out, "ガッコウガッコウ 1\n");
  EXPECT_NE(some.err.find(Path("gone.txt").string() + ": "), kNowhere) << some.err;
  EXPECT_NE(some.err.find(Path("binary.txt").string() + ": "), kNowhere) << some.err;
  // Never the file it writes to, which it would read on and on.
  const int appended = ::open(Path("a.txt").c_str(), O_WRONLY | O_APPEND);
  const ProcessResult itself = RunProcess(QUOBREL_CLI_PATH, {"convert", Path("a.txt")}, "",
                                          [appended] { ::dup2(appended, STDOUT_FILENO); });
  ::close(appended);
  EXPECT_EQ(itself.exitStatus, 1);
  EXPECT_EQ(Read("a.txt"), "ｶﾞｯｺｳ 1\n");
  if (InEnglish()) {
    EXPECT_NE(some.err.find("binary file (it holds NUL bytes)"), kNowhere);
  }
}

TEST_P(CliConventions, EncodingsGoByTheirUsualNamesBothWays) {
  const std::string utf8 = "ガッコウ①";
  const std::string cp932 = kFullKana + "\x87\x40";
  const std::string eucJp = "\xA5\xAC\xA5\xC3\xA5\xB3\xA5\xA6\xAD\xA1";
  for (const char* name : {"sjis", "Shift_JIS", "shift-jis", "CP932", "windows-31j", "MS932"}) {
    EXPECT_EQ(
        Run({"convert", "--encoding=" + std::string(name), "--output-encoding=utf-8"}, cp932).out,
        utf8)
        << name;
  }
  for (const char* name : {"euc-jp", "EUCJP"})
    EXPECT_EQ(
        Run({"convert", "--encoding=" + std::string(name), "--output-encoding=sjis"}, eucJp).out,
        cp932);
  for (const char* name : {"utf8", "UTF-8"})
    EXPECT_EQ(
        Run({"convert", "--encoding=" + std::string(name), "--output-encoding=EUC-JP"}, utf8).out,
        eucJp);
  // A byte-order mark is the encoding's, not a character of the text.
  EXPECT_EQ(Run({"convert", "--output-encoding=cp932"}, "\xEF\xBB\xBFｶ").out, "\x83\x4A");
  // A character the output encoding cannot hold stops it, at its place.
  const ProcessResult unencodable = Run({"convert", "--output-encoding=cp932"}, "ab😀");
  EXPECT_EQ(unencodable.exitStatus, 1);
  ExpectSaid(unencodable.err,
             "quobrel-cli: standard input: the result has a character Shift_JIS "
             "cannot hold (character 3)\n");
  // Standard input told apart, at many times the size of a piece, as a file would be.
  std::string lines, converted;
  for (int i = 0; i < 400'000; ++i) {
    lines += kHalfKana + " " + std::to_string(i) + "\r\n";
    converted += "ガッコウ " + std::to_string(i) + "\r\n";
  }
  const ProcessResult told = Run({"convert", "--encoding=auto", "--output-encoding=utf-8"}, lines);
  EXPECT_EQ(told.exitStatus, 0) << told.err;
  EXPECT_TRUE(told.out == converted) << "the output differs";
}

TEST_P(CliConventions, LineBreaksFollowTheRuleAskedOnStandardInputAndInFiles) {
  const std::string mixed = "a\r\nb\rc\nd";
  const auto broken = [&](const char* rule, const std::string& input) {
    return Run({"convert", std::string("--line-breaks=") + rule}, input).out;
  };
  EXPECT_EQ(broken("keep", mixed), mixed);
  EXPECT_EQ(broken("window", mixed), "a\r\nb\r\nc\nd\r\n");  // a lone LF is within a line
  EXPECT_EQ(broken("window", "a\nb"), "a\nb\n");
  EXPECT_EQ(broken("crlf", mixed), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(broken("lf", mixed + "\r\n"), "a\nb\nc\nd\n");
  EXPECT_EQ(broken("lf", ""), "\n");  // as the window writes an empty file
  Write("m.txt", mixed);
  EXPECT_EQ(Run({"convert", "-i", "--line-breaks=lf", "m.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("m.txt"), "a\nb\nc\nd\n");
}

TEST_P(CliConventions, InPlaceEachFileIsReportedAsItIsDoneAndFailuresAreCounted) {
  Write("a.txt", "ｶﾞ");
  Write("same.txt", "abc");
  Write("binary.txt", std::string("a\0b", 3));
  Write("bad\xFF.txt", "ｶﾞ");
  const std::vector<std::string> files{"a.txt", "same.txt", "binary.txt", "gone.txt"};
  const auto replace = [&](std::vector<std::string> options) {
    std::vector<std::string> arguments{"replace", "--search=ｶﾞ", "--replace=x"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), files.begin(), files.end());
    return Run(arguments);
  };
  // For scripts: the reasons in English whatever the locale, and nothing changed.
  const ProcessResult json = replace({"-n", "-i", "--json", "bad\xFF.txt"});
  EXPECT_EQ(json.exitStatus, 1);
  EXPECT_EQ(
      json.out,
      "{\"path\": \"" + Path("bad").string() +
          "\\\\xff.txt\", \"outcome\": \"done\", \"status\": \"：変換終了(1)\", "
          "\"encoding\": \"UTF-8\", \"count\": 1}\n"
          "{\"path\": \"" +
          Path("a.txt").string() +
          "\", \"outcome\": \"done\", \"status\": \"：変換終了(1)\", "
          "\"encoding\": \"UTF-8\", \"count\": 1}\n"
          "{\"path\": \"" +
          Path("same.txt").string() +
          "\", \"outcome\": \"unchanged\", \"status\": \"：変換個所なし(0)\", "
          "\"encoding\": \"UTF-8\", \"count\": 0}\n"
          "{\"path\": \"" +
          Path("binary.txt").string() +
          "\", \"outcome\": \"refused\", \"status\": \"：バイナリファイルのため変換しません。\", "
          "\"error\": \"binary file (it holds NUL bytes)\"}\n"
          "{\"path\": \"" +
          Path("gone.txt").string() +
          "\", \"outcome\": \"failed\", \"status\": \"：ファイルが見つかりませんでした。\", "
          "\"error\": \"No such file or directory\"}\n"
          "{\"summary\": {\"done\": 3, \"not_done\": 2}}\n");
  EXPECT_EQ(Read("a.txt"), "ｶﾞ");

  const ProcessResult quiet = replace({"-q", "-i"});
  EXPECT_EQ(quiet.exitStatus, 1);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(Read("a.txt"), "x");
  Write("a.txt", "ｶﾞ");
  const ProcessResult lines = replace({"-i"});
  EXPECT_EQ(lines.exitStatus, 1);
  EXPECT_EQ(lines.out,
            "a.txt：変換終了(1)\nsame.txt：変換個所なし(0)\n"
            "binary.txt：バイナリファイルのため変換しません。\n" +
                Path("gone.txt").string() + "：ファイルが見つかりませんでした。\n全て変換終了\n");
  const std::string summary = lines.err.substr(lines.err.rfind("quobrel-cli: "));
  ExpectSaid(summary, "quobrel-cli: 4 files: 2 done, 2 not done\n");
  EXPECT_EQ(quiet.err, lines.err);
}

TEST_P(CliConventions, AWalkIntoAnOutputFolderMirrorsTheTree) {
  fs::create_directories(Path("src/sub/deeper"));
  fs::create_directory(Path("out"));
  Write("src/sub/deeper/a.txt", "ｱ");
  Write("src/b.txt", "ｲ");
  const ProcessResult walked =
      Run({"convert", "-r", "--output-dir=" + Path("out").string(), "src"});
  EXPECT_EQ(walked.exitStatus, 0) << walked.err;
  EXPECT_EQ(Read("out/sub/deeper/a.txt"), "ア");
  EXPECT_EQ(Read("out/b.txt"), "イ");
  EXPECT_EQ(Read("src/sub/deeper/a.txt"), "ｱ");
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(StatusOf(Path("out/sub/deeper")).st_mode & 0777, 0777 & ~umask);

  // Folders only for results written; the output folder within the tree is not walked.
  fs::create_directories(Path("src/binary"));
  Write("src/binary/z.txt", std::string("a\0", 2));
  Write("src/b.txt", "ｳ");
  const std::string inTree = "--output-dir=" + Path("src/out").string();
  fs::create_directory(Path("src/out"));
  for (int run = 0; run < 2; ++run) EXPECT_EQ(Run({"convert", "-r", inTree, "src"}).exitStatus, 0);
  EXPECT_EQ(Read("src/out/b.txt"), "ウ");
  EXPECT_FALSE(fs::exists(Path("src/out/binary")));
  EXPECT_FALSE(fs::exists(Path("src/out/out")));

  const ProcessResult missing =
      Run({"convert", "--output-dir=" + Path("nodir").string(), "src/b.txt"});
  EXPECT_EQ(missing.exitStatus, 1);
  ExpectSaid(missing.err, "quobrel-cli: " + Path("nodir").string() + ": no such folder\n");
  EXPECT_FALSE(fs::exists(Path("nodir")));
}

TEST_P(CliConventions, UsageErrorsNameWhatWasTyped) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"convert", "--bogus"}, "unknown option '--bogus'"},
      {{"convert", "-digits=half"}, "unknown option '-d'"},
      {{"convert", "--digits"}, "option '--digits' needs a value: full, half or none"},
      {{"convert", "--encoding=latin1"},
       "unknown encoding 'latin1' for --encoding: auto, utf-8, cp932 or euc-jp"},
      {{"convert", "--json", "a.txt"}, "--json goes with -i or --output-dir"},
      {{"convert", "-i"}, "-i goes with files"},
      {{"convert", "-i", "-"}, "standard input (-) cannot go with -i"}};
  for (const auto& [arguments, english] : cases) {
    const ProcessResult usage = Run(arguments);
    EXPECT_EQ(usage.exitStatus, 2) << english;
    EXPECT_EQ(usage.out, "");
    ExpectSaid(usage.err,
               "quobrel-cli: " + english + "\nTry 'quobrel-cli --help' for more information.\n");
  }
  // Help that cannot be written is no success.
  const ProcessResult full = RunProcess(QUOBREL_CLI_PATH, {"--help"}, "", [] {
    ::dup2(::open("/dev/full", O_WRONLY | O_CLOEXEC), STDOUT_FILENO);
  });
  EXPECT_EQ(full.exitStatus, 1);
}

// quobrel-cli stopped by `signal` once it has begun: on its first status line, or once it
// has a temporary file open. Its exit status and its standard output.
class StoppedRuns : public FileSafety {
 protected:
  ProcessResult StopWith(int signal, const std::vector<std::string>& arguments, bool onFirstLine) {
    const std::string output = folder.string() + ".out";
    const pid_t run =
        onFirstLine
            ? StartProcess(QUOBREL_CLI_PATH, InFolder(arguments),
                           [&] {
                             if (::nice(19) == -1) {
                             }
                             const int fd = ::open(output.c_str(),
                                                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
                             ::dup2(fd, STDOUT_FILENO);
                           })
            : StartAndStopWhileConverting(arguments, output);
    while (onFirstLine && Running(run) && !fs::exists(output)) {
    }
    while (onFirstLine && Running(run) && fs::file_size(output) == 0) {
    }
    ::kill(run, signal);
    ::kill(run, SIGCONT);
    ProcessResult result{WaitForExit(run), {}, {}};
    std::ifstream in(output, std::ios::binary);
    result.out.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove(output);
    return result;
  }
};

TEST_F(StoppedRuns, CtrlCFinishesTheFileUnderWayReportsEveryFileDoneAndLeavesTheRest) {
  // Each over a megabyte, converted alone, and small enough to be finished.
  std::string original, converted;
  WriteLarge(original, converted, 100'000);
  fs::remove(Path("big.txt"));
  std::vector<std::string> arguments{"convert", "-i"};
  for (int i = 10; i < 50; ++i) {
    Write(std::to_string(i) + ".txt", original);
    arguments.push_back(std::to_string(i) + ".txt");
  }
  const ProcessResult stopped = StopWith(SIGINT, arguments, true);
  EXPECT_EQ(stopped.exitStatus, 130);
  int done = 0;
  for (int i = 10; i < 50; ++i) {
    const std::string name = std::to_string(i);
    SCOPED_TRACE(name);
    if (stopped.out.find(name + ".txt：変換終了\n") != kNowhere) {
      ++done;
      EXPECT_EQ(Read(name + ".txt"), converted);
      EXPECT_EQ(Read(name + ".old"), original);
    } else {
      EXPECT_EQ(Read(name + ".txt"), original);
      EXPECT_FALSE(fs::exists(Path(name + ".old")));
    }
  }
  EXPECT_GE(done, 1);
  EXPECT_LT(done, 40) << "it was done before it was stopped";
  EXPECT_TRUE(stopped.out.ends_with("全て変換終了\n"));
  const std::vector<std::string> names = Names();
  EXPECT_EQ(names.size(), 40u + done) << "a temporary file was left";
}

TEST_F(StoppedRuns, TermDropsALargeFileUnderWayCleanly) {
  std::string original, converted;
  WriteLarge(original, converted);  // over 16 MB
  const ProcessResult stopped = StopWith(SIGTERM, {"convert", "-i", "big.txt"}, false);
  EXPECT_EQ(stopped.exitStatus, 143);
  EXPECT_EQ(stopped.out.find("big.txt：変換終了"), kNowhere);
  EXPECT_EQ(Read("big.txt"), original);
  EXPECT_EQ(Names(), std::vector<std::string>{"big.txt"});
}

}  // namespace
}  // namespace quobrel::testing
