#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_process.h"

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
      {{"replace", "--search=a", "--replace="}, "a"},
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
           {"convert", "--encoding=latin1"}}) {
    const ProcessResult r = Cli(arguments, "x");
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_EQ(r.out, "");
  }
}

TEST(QuobrelCli, HelpAndVersion) {
  EXPECT_EQ(Cli({"--version"}).out, "Quobrel Ver 2.09\n");
  const ProcessResult help = Cli({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("quobrel-cli replace --search=TEXT --replace=TEXT"), std::string::npos);
}

}  // namespace
}  // namespace quobrel
