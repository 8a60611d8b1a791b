// quobrel-cli as a filter from standard input to standard output, and its command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "conversion/convert_options.h"
#include "encoding/text_codec.h"
#include "tests/plain_controls.h"
#include "tests/run_process.h"

namespace quobrel {
namespace {

using testing::ProcessResult;

ProcessResult Cli(const std::vector<std::string>& arguments, const std::string& input = {}) {
  return testing::RunProcess(QUOBREL_CLI_PATH, arguments, input);
}

TEST(QuobrelCli, ConvertsWithTheWindowsStartUpSelectionByDefault) {
  const ProcessResult r = Cli({"convert"}, "ｶﾞｷﾞｸﾞ a  b 1\r\nx\n");
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "ガギグ a　b 1\r\nx\n");
  EXPECT_EQ(r.err, "");
}

TEST(QuobrelCli, ConvertOptionsSelectTheButtons) {
  EXPECT_EQ(Cli({"convert", "--digits=full", "--letters=half", "--katakana=half",
                 "--case=upper-half", "--spaces=none"},
                "1ａガ  ")
                .out,
            "１Aｶﾞ  ");
  EXPECT_EQ(Cli({"convert", "--case=lower-full", "--spaces=half"}, "ＡA　").out, "ａA ");
  // The conversions beyond the window's buttons: the script goes before the widths.
  EXPECT_EQ(Cli({"convert", "--kana=katakana", "--katakana=half"}, "がぱヴ").out, "ｶﾞﾊﾟｳﾞ");
  // Half-width katakana become full-width only after the script has had its turn.
  EXPECT_EQ(Cli({"convert", "--kana=hiragana"}, "ｶﾞヵヶヽ").out, "ガゕゖゝ");
  EXPECT_EQ(Cli({"convert", "--symbols=full", "--letters=full"}, "(a+b)=\"~\"").out,
            "（ａ＋ｂ）＝\"~\"");
  EXPECT_EQ(Cli({"convert", "--symbols=half"}, "［１］＃").out, "[１]#");
}

TEST(QuobrelCli, ReplaceIgnoresCaseUnlessAsked) {
  EXPECT_EQ(Cli({"replace", "--search=abc", "--replace=x"}, "abcABC").out, "xx");
  EXPECT_EQ(Cli({"replace", "--search=abc", "--replace=x", "--match-case"}, "abcABC").out, "xABC");
}

TEST(QuobrelCli, Cp932InAndOut) {
  const ProcessResult r = Cli({"convert", "--encoding=cp932"}, "\xB6\xDE\x82\xA0");  // ｶﾞ あ
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out, "\x83\x4B\x82\xA0");  // ガ あ
}

TEST(QuobrelCli, BadInputFailsWithNothingOnStandardOutput) {
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
  };
  const Case cases[] = {
      {{"convert"}, "ok\xFF"},
      {{"convert", "--encoding=cp932"}, "\x82"},
      {{"convert", "--encoding=cp932"}, "\xA0"},
      {{"replace", "--search=a", "--replace=€", "--encoding=cp932"}, "a"},
      {{"replace", "--search=", "--replace=x"}, "a"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.arguments, c.input);
    EXPECT_EQ(r.exitStatus, 1) << c.arguments.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("quobrel-cli: "), std::string::npos);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  }
}

TEST(QuobrelCli, UsageErrorsExitWithTwo) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"convert", "--digits=many"},
           {"convert", "--bogus"},
           {"convert", "--search=a"},
           {"replace", "--search=a"},
           {"replace", "--search=a", "--replace=b", "--case=upper"},
           {"convert", "--encoding=latin1"},
           {"convert", "--kana=romaji"},
           {"convert", "--symbols=wide"},
           {"replace", "--search=a", "--replace=b", "--kana=hiragana"},
           {"convert", "-i", "-"},
           {"convert", "--dry-run"},
           {"convert", "-r", "-"},
           {"convert", "-x"}}) {
    const ProcessResult r = Cli(arguments, "x");
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_EQ(r.out, "");
  }
}

// What the window's commands make of the whole text at once.
std::string Expected(const std::string& input, const Options& options) {
  return *Encode(ConvertText(*Decode(input, TextEncoding::Utf8), options), TextEncoding::Utf8);
}

TEST(QuobrelCli, LongInputGivesTheResultOfTheWholeText) {
  // Several megabytes of random lines of kana, marks and spaces, which a cut anywhere but
  // just after a line feed would likely change.
  const char* tokens[] = {"ｶﾞ", "ｶ", "ﾞ", " ", "  ", "a", "漢", "ｳ"};
  std::mt19937 random(3);
  std::string input;
  while (input.size() < 5'000'000) {
    for (int n = random() % 30; n > 0; --n) input += tokens[random() % std::size(tokens)];
    input += random() % 2 ? "\r\n" : "ｶ\n";
  }
  EXPECT_EQ(Cli({"convert"}, input).out, Expected(input, Options{}));
  const Options chosen{
      .letters = Width::Full, .katakana = Width::Keep, .spaces = Spaces::AllToFull};
  EXPECT_EQ(Cli({"convert", "--spaces=full", "--katakana=none", "--letters=full"}, input).out,
            Expected(input, chosen));

  // A search across a line break is found across the whole text.
  const ProcessResult replaced = Cli({"replace", "--search=ｶ\n", "--replace=<>"}, input);
  EXPECT_EQ(replaced.exitStatus, 0);
  EXPECT_EQ(replaced.out.find("ｶ\n"), std::string::npos);
  EXPECT_NE(replaced.out.find("<>"), std::string::npos);

  // Bad bytes far into the input are reported where they are; what was written before
  // them is the result as far as it goes.
  const ProcessResult bad = Cli({"convert"}, input + "\xFF");
  EXPECT_EQ(bad.exitStatus, 1);
  EXPECT_TRUE(Expected(input, Options{}).starts_with(bad.out));
  EXPECT_LT(bad.out.size(), input.size());
  const std::size_t lines = std::count(input.begin(), input.end(), '\n');
  EXPECT_NE(bad.err.find("(line " + std::to_string(lines + 1) + ", column 1, byte " +
                         std::to_string(input.size()) + ")"),
            std::string::npos)
      << bad.err;
}

TEST(QuobrelCli, InvalidInputIsPlacedByLineAndColumn) {
  struct Case {
    std::string input;
    std::string encoding;
    std::string place;
  };
  const Case cases[] = {
      {"ok\xFF", "utf-8", "line 1, column 3, byte 2"},
      {"a\r\nbc\xFF", "utf-8", "line 2, column 3, byte 5"},
      {"a\rb\xFF", "utf-8", "line 2, column 2, byte 3"},  // a lone CR ends a line
      {"a\r\xFF", "utf-8", "line 2, column 1, byte 2"},
      {"a\n\n\r\n\xFF", "utf-8", "line 4, column 1, byte 5"},
      {"漢字\xFF", "utf-8", "line 1, column 3, byte 6"},              // characters, not bytes
      {"\xF0\x9F\x98\x80\xFF", "utf-8", "line 1, column 2, byte 4"},  // one, though two units
      {"\x82\xA0\xB6\n\x82", "cp932", "line 2, column 1, byte 4"},
      {"\xA4\xA2\x8E\xB6\xFF", "euc-jp", "line 1, column 3, byte 4"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli({"convert", "--encoding=" + c.encoding}, c.input);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("(" + c.place + ")"), std::string::npos) << r.err;
  }
}

TEST(QuobrelCli, ShellConventions) {
  // "-" is standard input; options of one letter combine.
  EXPECT_EQ(Cli({"convert", "-"}, "ｶﾞ").out, "ガ");
  EXPECT_EQ(Cli({"convert", "--katakana=none", "-"}, "ｶﾞ").out, "ｶﾞ");
  // An empty replacement deletes the search text.
  const ProcessResult deleted = Cli({"replace", "--search=b", "--replace=", "-"}, "abcB");
  EXPECT_EQ(deleted.exitStatus, 0);
  EXPECT_EQ(deleted.out, "ac");
}

TEST(QuobrelCli, HelpAndVersion) {
  EXPECT_EQ(Cli({"--version"}).out, "Quobrel Ver 2.09\n");
  // The general help names both commands; each command's help its own options and the
  // common ones.
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> holds, lacks;
  };
  const Case cases[] = {
      {{"--help"},
       {"quobrel-cli replace --search=TEXT --replace=TEXT", "convert --help"},
       {"--digits"}},
      {{"-h"}, {"quobrel-cli convert [OPTION...]"}, {"--digits"}},
      {{"convert", "-h"},
       {"--digits=", "--kana=", "--symbols=", "--dry-run", "-r, --recursive"},
       {"--search"}},
      {{"replace", "--help"}, {"--search=TEXT", "empty deletes", "--encoding="}, {"--digits"}},
  };
  for (const Case& c : cases) {
    const ProcessResult help = Cli(c.arguments);
    EXPECT_EQ(help.exitStatus, 0);
    for (const std::string& text : c.holds)
      EXPECT_NE(help.out.find(text), std::string::npos) << c.arguments.front() << ": " << text;
    for (const std::string& text : c.lacks)
      EXPECT_EQ(help.out.find(text), std::string::npos) << c.arguments.front() << ": " << text;
  }
}

}  // namespace
}  // namespace quobrel
