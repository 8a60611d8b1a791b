// A text converted in pieces gives the bytes of the whole text converted at once, wherever
// the pieces are cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "conversion/file_commands.h"
#include "engine/conversion_chain.h"
#include "stream/text_stream.h"
#include "tests/plain_controls.h"
#include "tests/trickle.h"

namespace quobrel {
namespace {

struct Streamed {
  std::string bytes;
  StreamOutcome outcome;
  FileSurvey::Outcome survey;
};

// The file's way through a batch, in pieces of about `pieceSize` bytes (0: whole).
Streamed Stream(std::string_view input, const FileFormat& format, const FileCommand& command,
                std::size_t pieceSize, unsigned seed) {
  static WorkerPool pool(2);
  auto reader = [&](std::string_view text) {
    return PieceReader(Trickle(text, seed), pieceSize == 0 ? text.size() + 1 : pieceSize);
  };
  Streamed streamed;
  FileSurvey survey(format);
  const std::string_view text = input.substr(survey.TakeByteOrderMark(input.substr(0, 3)));
  PieceReader looked = reader(text);
  while (std::optional<Piece> piece = looked.Next())
    survey.Add(FileSurvey::Look(piece->bytes, survey.NextPlan()));
  FileKind kind;
  streamed.survey = survey.Finish(kind);
  if (streamed.survey.failure != TextFailure::None) return streamed;
  PieceReader converted = reader(text);
  streamed.outcome = StreamText(
      converted, pool, kind, command,
      [&](std::string_view bytes) {
        streamed.bytes.append(bytes);
        return std::error_code();
      },
      [] { return true; });
  return streamed;
}

void ExpectSameInPieces(const std::string& input, const FileFormat& format,
                        const FileCommand& command) {
  const Streamed whole = Stream(input, format, command, 0, 1);
  for (std::size_t pieceSize : {1, 2, 5, 16}) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const Streamed pieces = Stream(input, format, command, pieceSize, seed);
      ASSERT_EQ(pieces.survey.failure, whole.survey.failure) << pieceSize << " " << seed;
      ASSERT_EQ(pieces.survey.encodings, whole.survey.encodings);
      ASSERT_EQ(pieces.outcome.failure, whole.outcome.failure) << pieceSize << " " << seed;
      ASSERT_EQ(pieces.outcome.unencodableAt, whole.outcome.unencodableAt);
      ASSERT_EQ(pieces.outcome.invalidAt, whole.outcome.invalidAt) << pieceSize << " " << seed;
      ASSERT_EQ(pieces.outcome.count, whole.outcome.count);
      // After a failure, what was written is dropped.
      if (whole.outcome.failure != TextFailure::None) continue;
      ASSERT_TRUE(pieces.bytes == whole.bytes) << pieceSize << " " << seed;
    }
  }
}

FileCommand Converting(const Options& options) { return ConvertingCommand(options); }

FileCommand Replacing(const std::u16string& search, const std::u16string& replacement) {
  return ReplacingCommand({search, replacement, convert::CompareMode::IgnoreCase});
}

// Lines of kana with their marks (also right after a line break), surrogate pairs, spaces,
// letters, a character code page 932 writes with more than one code, and every kind of
// line break.
std::u16string RandomText(unsigned seed, bool lineFeedsOnly) {
  const std::u16string_view tokens[] = {u"ｶﾞ",   u"ｶ",  u"ﾞ",  u"ﾟ", u"ﾊ", u" ",  u"  ", u"aB",
                                        u"Ａｂ", u"１", u"漢", u"≒", u"∵", u"𠮷", u"ガ", u"　"};
  const std::u16string_view breaks[] = {u"\n", u"\r\n", u"\r", u"\r\r\n", u"\n\n"};
  std::mt19937 random(seed);
  std::u16string text;
  for (int line = 0; line < 40; ++line) {
    for (int n = static_cast<int>(random() % 12); n > 0; --n) text += tokens[random() % 16];
    text += lineFeedsOnly ? u"\n" : breaks[random() % 5];
  }
  if (random() % 2) text += u"ｶ";  // no break at the end
  return text;
}

std::string Encoded(std::u16string_view text, TextEncoding encoding) {
  std::u16string holdable;
  for (char16_t c : text) holdable.push_back(c);
  const auto encoded = Encode(holdable, encoding);
  return encoded ? *encoded : std::string();
}

TEST(TextStream, AConvertingCommandTakesTheExtraConversions) {
  const FileCommand command = ConvertingCommand({.symbols = Width::Full,
                                                 .katakana = Width::Full,
                                                 .kana = Script::Katakana,
                                                 .spaces = Spaces::PairsToFull});
  EXPECT_EQ(command.run(u"が(ｶﾞ)").text, u"ガ（ガ）");
}

TEST(TextStream, PiecesGiveTheWholeTextsBytesInEveryEncodingAndLineBreakRule) {
  const FileCommand commands[] = {Converting(Options{}),
                                  Converting({.digits = Width::Full,
                                              .letters = Width::Full,
                                              .katakana = Width::Half,
                                              .letterCase = LetterCase::Upper,
                                              .spaces = Spaces::AllToHalf}),
                                  Replacing(u"ｶﾞ", u"≒x"), Replacing(u"∵", u""),
                                  // Across line breaks, the pieces taken in order.
                                  Replacing(u"ﾞ\r\nｶ", u"|"), Replacing(u"\n\n", u"¶\r"),
                                  Replacing(u"ｶ\r", u"ｷ\r")};
  for (unsigned seed = 1; seed <= 4; ++seed) {
    for (bool lineFeedsOnly : {false, true}) {
      const std::u16string text = RandomText(seed, lineFeedsOnly);
      // Surrogate pairs are UTF-8's alone; the alternate codes are written as the file had
      // them (FA 5B for ∵ rather than 81 E6, every other time).
      std::string cp932 = Encoded(text.substr(0, text.find(u"𠮷")), TextEncoding::Cp932);
      for (std::size_t at = cp932.find("\x81\xE6"); at != std::string::npos;
           at = cp932.find("\x81\xE6", at + 2)) {
        cp932.replace(at, 2, "\xFA\x5B");
        at = cp932.find("\x81\xE6", at + 2);
        if (at == std::string::npos) break;
      }
      ASSERT_FALSE(cp932.empty());
      const std::string inputs[] = {Encoded(text, TextEncoding::Utf8), cp932,
                                    "\xEF\xBB\xBF" + Encoded(text, TextEncoding::Utf8)};
      for (const std::string& input : inputs) {
        for (LineBreakRule rule :
             {LineBreakRule::Keep, LineBreakRule::Lines, LineBreakRule::CrLf, LineBreakRule::Lf}) {
          for (const FileCommand& command : commands) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " rule " << int(rule));
            ExpectSameInPieces(input, {std::nullopt, TextEncoding::Utf8, rule}, command);
          }
        }
      }
    }
  }
}

// A converting command on UTF-8 as it is, which the start-up selection takes: the same bytes
// and failures as through UTF-16, whatever the line breaks, for chains that would not take
// it too.
TEST(TextStream, Utf8TakenAsItIsGivesWhatDecodingGives) {
  ASSERT_TRUE(Converting(Options{}).runUtf8);
  const Options allHalf{Width::Half,  Width::Half,      Width::Half,      Width::Half,
                        Script::Keep, LetterCase::Keep, Spaces::AllToHalf};
  const Options allFull{Width::Full,      Width::Full,       Width::Full,        Width::Full,
                        Script::Hiragana, LetterCase::Upper, Spaces::PairsToFull};
  for (const Options& options : {Options{}, allHalf, allFull}) {
    const FileCommand decoding = [&] {
      FileCommand command = Converting(options);
      command.runUtf8 = nullptr;
      return command;
    }();
    const auto chain = std::make_shared<const convert::FusedChain>(ChainOf(options));
    FileCommand asItIs = decoding;
    asItIs.runUtf8 = [chain](std::string_view bytes) { return chain->ConvertUtf8(bytes); };
    for (unsigned seed = 1; seed <= 4; ++seed) {
      const std::string text = Encoded(RandomText(seed, seed % 2 == 0), TextEncoding::Utf8);
      const std::string faulty = std::string(text).append("\xE3\x81\n").append(text);
      for (const std::string& input : {text, "\xEF\xBB\xBF" + text, text + "\n", faulty}) {
        for (LineBreakRule rule :
             {LineBreakRule::Keep, LineBreakRule::Lines, LineBreakRule::CrLf, LineBreakRule::Lf}) {
          const FileFormat format{TextEncoding::Utf8, TextEncoding::Utf8, rule};
          const Streamed ours = Stream(input, format, asItIs, 16, seed);
          const Streamed reference = Stream(input, format, decoding, 16, seed);
          SCOPED_TRACE(testing::Message() << "seed " << seed << " rule " << int(rule));
          EXPECT_EQ(ours.outcome.failure, reference.outcome.failure);
          EXPECT_EQ(ours.outcome.invalidAt, reference.outcome.invalidAt);
          EXPECT_TRUE(ours.bytes == reference.bytes);
        }
      }
    }
  }
}

TEST(TextStream, FailuresAreFoundWhereTheWholeTextHasThem) {
  const std::string lines = "ｶﾞｯｺｳ\nline two\r\n";
  // Bytes no encoding reads, far into the text.
  ExpectSameInPieces(lines + lines + "\xFF\n" + lines, {TextEncoding::Utf8}, Converting(Options{}));
  ExpectSameInPieces(lines + "\r\rab\xFF", {TextEncoding::Utf8}, Converting(Options{}));
  const Streamed invalid =
      Stream(lines + "\r\rｱb\xFF", {TextEncoding::Utf8}, Converting(Options{}), 3, 1);
  EXPECT_EQ(invalid.outcome.failure, TextFailure::Invalid);
  EXPECT_EQ(invalid.outcome.invalidAt, (TextPosition{lines.size() + 6, 5, 3}));
  // A result the encoding cannot hold.
  const std::string cp932 = Encoded(u"ｱｲ\nｳｴ\n", TextEncoding::Cp932);
  ExpectSameInPieces(cp932, {TextEncoding::Cp932}, Replacing(u"ｴ", u"😀"));
  const Streamed unencodable = Stream(cp932, {TextEncoding::Cp932}, Replacing(u"ｴ", u"😀"), 2, 2);
  EXPECT_EQ(unencodable.outcome.failure, TextFailure::Unencodable);
  EXPECT_EQ(unencodable.outcome.unencodableAt.unit, 4u);
  // Told apart piece by piece as the whole, after a long stretch of ASCII.
  const std::string japanese =
      std::string(300, 'a') + "\n" + Encoded(u"かなとカナ、\n漢字。\n", TextEncoding::Cp932);
  ExpectSameInPieces(japanese, {std::nullopt}, Converting(Options{}));
  const Streamed detected = Stream(japanese, {std::nullopt}, Converting(Options{}), 4, 3);
  EXPECT_EQ(detected.survey.failure, TextFailure::None);
  EXPECT_TRUE(detected.bytes == japanese);
}

TEST(TextStream, PiecesEndJustAfterALineBreakAndNeverBetweenCrAndLf) {
  std::mt19937 random(7);
  std::string input;
  for (int i = 0; i < 2000; ++i) input += "ab\r\n"[random() % 4];
  PieceReader reader(Trickle(input, 5), 3);
  std::string joined;
  for (std::optional<Piece> piece; (piece = reader.Next());) {
    EXPECT_EQ(piece->offset, joined.size());
    joined += piece->bytes;
    if (piece->last) break;
    ASSERT_FALSE(piece->bytes.empty());
    const char end = piece->bytes.back();
    EXPECT_TRUE(end == '\n' || (end == '\r' && input[joined.size()] != '\n'));
  }
  EXPECT_EQ(joined, input);
  EXPECT_FALSE(reader.Next());
  // A line longer than a piece is one piece; an empty input is one empty last piece.
  PieceReader longLine(Trickle("aaaaaaaaaa\nb", 1), 2);
  EXPECT_EQ(longLine.Next()->bytes, "aaaaaaaaaa\n");
  PieceReader empty(Trickle("", 1), 2);
  const std::optional<Piece> only = empty.Next();
  ASSERT_TRUE(only);
  EXPECT_TRUE(only->last && only->bytes.empty());
}

TEST(TextStream, LineBreaksAreCountedAsAnEditorCountsLines) {
  // Against the lines a reading one byte at a time finds, over texts of CR, LF and other
  // bytes long enough to cross blocks and their lane counters.
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::string text(random() % 9000, 'x');
    for (char& c : text) c = "\r\nx"[random() % 3];
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') ++lines;
      if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++lines;
    }
    ASSERT_EQ(CountLineBreaks(text), lines) << text.size();
  }
}

}  // namespace
}  // namespace quobrel
