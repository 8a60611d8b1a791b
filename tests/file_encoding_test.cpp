// Files in each encoding through quobrel-cli: read as what they are, written back in
// kind, down to the code page 932 and EUC-JP codes of characters that have two.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "stream/text_stream.h"
#include "tests/batch_folder.h"

namespace quobrel {
namespace {

using namespace testing;
using FileEncoding = BatchFolder;

TEST_F(FileEncoding, EachFileIsReadAsWhatItIsAndWrittenInKind) {
  struct Case {
    std::string name, before, after;
  };
  const Case cases[] = {
      // UTF-8 whose bytes code page 932 also reads (as kanji and half-width punctuation).
      {"utf8.txt", "\xEF\xBD\xB6\xEF\xBE\x9E\xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6\n", "ガアイウ\n"},
      {"bom.txt",
       "\xEF\xBB\xBF"
       "ｶﾞｯｺｳ\r\n",
       "\xEF\xBB\xBF"
       "ガッコウ\r\n"},
      {"sjis.txt", kHalfKana + "\r\n", kFullKana + "\r\n"},
      // EUC-JP: ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ, two bytes a half-width katakana, to ガッコウ　デ パン.
      {"euc.txt",
       "\x8E\xB6\x8E\xDE\x8E\xAF\x8E\xBA\x8E\xB3  \x8E\xC3\x8E\xDE \x8E\xCA\x8E\xDF\x8E\xDD",
       "\xA5\xAC\xA5\xC3\xA5\xB3\xA5\xA6\xA1\xA1\xA5\xC7 \xA5\xD1\xA5\xF3"},
  };
  std::vector<std::string> arguments{"convert", "-i"};
  for (const Case& c : cases) {
    Write(c.name, c.before);
    arguments.push_back(c.name);
  }
  const ProcessResult r = Cli(arguments);
  EXPECT_EQ(r.exitStatus, 0) << r.out << r.err;
  for (const Case& c : cases) EXPECT_EQ(Read(c.name), c.after) << c.name;
}

TEST_F(FileEncoding, WhatCannotBeToldApartIsLeftAlone) {
  Write("short.txt", "\xC3\xBD");  // ﾃｽ in code page 932; ý in UTF-8; a kanji in EUC-JP
  Write("bad.txt", "\x82\xFF");
  ProcessResult r = Cli({"convert", "-i", "--letters=full", "short.txt", "bad.txt"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out,
            "short.txt：文字コードを判別できないため変換しません。(UTF-8, Shift_JIS, EUC-JP)\n"
            "bad.txt：文字コードが正しくないため変換しません。\n全て変換終了\n");
  EXPECT_NE(r.err.find("short.txt: cannot tell whether it is UTF-8, Shift_JIS or EUC-JP; "
                       "name the encoding with --encoding"),
            std::string::npos);
  EXPECT_NE(r.err.find("bad.txt: not valid UTF-8, Shift_JIS or EUC-JP"), std::string::npos);
  EXPECT_EQ(Read("short.txt"), "\xC3\xBD");
  // Named, it is read so.
  r = Cli({"convert", "-i", "--encoding=cp932", "short.txt"});
  EXPECT_EQ(Read("short.txt"), "\x83\x65\x83\x58");  // テス
}

TEST_F(FileEncoding, AsciiOnlyIsWrittenAsUtf8ByTheCommandLine) {
  Write("plain.txt", "abc\n");
  ASSERT_EQ(Cli({"convert", "-i", "--letters=full", "plain.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("plain.txt"), "ａｂｃ\n");
  // Standard input is told apart too when asked.
  EXPECT_EQ(RunProcess(QUOBREL_CLI_PATH, {"convert", "--encoding=auto"}, kHalfKana).out, kFullKana);
  const ProcessResult undecided =
      RunProcess(QUOBREL_CLI_PATH, {"convert", "--encoding=auto"}, "\xC3\xBD");
  EXPECT_EQ(undecided.exitStatus, 1);
  EXPECT_NE(undecided.err.find("--encoding"), std::string::npos);
}

TEST_F(FileEncoding, NothingIsWrittenBackOtherwiseThanItWasRead) {
  // An EUC-JP code that ICU reads as a character it cannot write (¦), after one that it
  // writes otherwise but has the code of (≒).
  Write("euc.txt",
        "a\xAD\xF0\x8F\xA2\xC3"
        "b\n");
  EXPECT_EQ(Cli({"convert", "-i", "--encoding=euc-jp", "euc.txt"}).out,
            "euc.txt：書き戻すと変わってしまう文字コードを含むため変換しません。\n全て変換終了\n");
  EXPECT_EQ(Read("euc.txt"),
            "a\xAD\xF0\x8F\xA2\xC3"
            "b\n");
  // A character ICU would write as the code of another (U+F86F as that of №).
  Write("sjis.txt", kHalfKana + "X");
  EXPECT_EQ(Cli({"replace", "-i", "--search=X", "--replace=\uF86F", "sjis.txt"}).out,
            "sjis.txt：保存できない文字ができるため変換しません。\n全て変換終了\n");
  // Control codes of a file of ASCII only, written as code page 932 (as the window does).
  const std::string controls = "a\x1A\x1C\x7F\r\n";
  FileKind kind;
  kind.lineBreaks = FileLineBreaks::CrLf;
  const ConvertedPiece written =
      ConvertPiece(controls, true, kind,
                   {[](std::u16string text) { return CommandResult{std::move(text)}; }, {}, {}});
  EXPECT_EQ(written.bytes + std::string(FinalLineBreak(kind.lineBreaks)), controls);
}

// Codes of two bytes, each after `prefix`: a lead byte, then a trail byte, in the ranges.
std::vector<std::string> Codes(const std::string& prefix, int firstLead, int lastLead,
                               int firstTrail, int lastTrail) {
  std::vector<std::string> codes;
  for (int lead = firstLead; lead <= lastLead; ++lead) {
    for (int trail = firstTrail; trail <= lastTrail; ++trail)
      codes.push_back(prefix + static_cast<char>(lead) + static_cast<char>(trail));
  }
  return codes;
}

// Of the codes, every one that the encoding shares with another for one character, found
// with ICU itself: each code, and the code ICU writes for its character.
std::map<std::string, std::string> SharedCodes(const char* icuName,
                                               const std::vector<std::string>& codes) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(icuName, &status),
                                                               &ucnv_close);
  std::map<std::u16string, std::vector<std::string>> byCharacter;
  for (const std::string& code : codes) {
    UChar text[4];
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter.get(), text, 4, code.data(),
                                         static_cast<int32_t>(code.size()), &status);
    if (U_SUCCESS(status) && length == 1 && text[0] != 0xFFFD && text[0] != 0x1A)
      byCharacter[std::u16string(text, text + 1)].push_back(code);
  }
  std::map<std::string, std::string> shared;
  for (const auto& [character, characterCodes] : byCharacter) {
    if (characterCodes.size() < 2) continue;
    char written[4];
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(
        converter.get(), written, 4, reinterpret_cast<const UChar*>(character.data()), 1, &status);
    for (const std::string& code : characterCodes) shared[code] = std::string(written, length);
  }
  return shared;
}

TEST_F(FileEncoding, EveryAlternateCodeIsWrittenBackAsItWas) {
  std::vector<std::string> eucJpCodes = Codes("\x8F", 0xA1, 0xFE, 0xA1, 0xFE);  // JIS X 0212
  for (const std::string& code : Codes("", 0xA1, 0xFE, 0xA1, 0xFE)) eucJpCodes.push_back(code);
  struct Case {
    std::string encoding;  // none: told apart
    std::map<std::string, std::string> shared;
    std::string halfKana, fullKana;  // ｶﾞｯｺｳ, and ガッコウ as converted
    long notWritten;  // how many codes are not what ICU writes: without care, they would change
  };
  const Case cases[] = {
      {"", SharedCodes("windows-31j", Codes("", 0x81, 0xFC, 0x40, 0xFC)), kHalfKana, kFullKana,
       398},
      // NEC's row 13 and the IBM extensions, written as JIS X 0208's codes, and JIS X 0212's
      // codes of the IBM extensions' characters, written as theirs.
      {"euc-jp", SharedCodes("EUC-JP", eucJpCodes), "\x8E\xB6\x8E\xDE\x8E\xAF\x8E\xBA\x8E\xB3",
       "\xA5\xAC\xA5\xC3\xA5\xB3\xA5\xA6", 312},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::count_if(c.shared.begin(), c.shared.end(),
                            [](const auto& entry) { return entry.first != entry.second; }),
              c.notWritten)
        << c.encoding;
    std::string before, after;
    for (const auto& [code, standard] : c.shared) {
      before += c.halfKana + code + "\r\n";
      after += c.fullKana + code + "\r\n";
    }
    Write("codes.txt", before);
    std::vector<std::string> arguments{"convert", "-i", "codes.txt"};
    if (!c.encoding.empty()) arguments.push_back("--encoding=" + c.encoding);
    ASSERT_EQ(Cli(arguments).exitStatus, 0);
    EXPECT_EQ(Read("codes.txt"), after) << c.encoding;
  }

  // Occurrence by occurrence; characters the result has more of take the code used most.
  Write("order.txt", kHalfKana + "\x87\x90\x81\xE0\x87\x90 X X");  // ≒ three times, two codes
  ASSERT_EQ(Cli({"replace", "-i", "--search=X", "--replace=≒", "order.txt"}).exitStatus, 0);
  EXPECT_EQ(Read("order.txt"), kHalfKana + "\x87\x90\x81\xE0\x87\x90 \x87\x90 \x87\x90");
  // In EUC-JP, a code put back may be a byte longer than the one ICU writes (～: 8F A2 B7
  // for A1 C1), as read from standard input as well.
  const std::string tildes = "\x8F\xA2\xB7\xA1\xC1\x8F\xA2\xB7 ";
  const ProcessResult r =
      RunProcess(QUOBREL_CLI_PATH, {"replace", "--encoding=euc-jp", "--search=X", "--replace=～"},
                 "\x8E\xB6" + tildes + "X X\n");
  EXPECT_EQ(r.out, "\x8E\xB6" + tildes + "\x8F\xA2\xB7 \x8F\xA2\xB7\n") << r.err;
}

}  // namespace
}  // namespace quobrel
