// The lines of a text file as the program reads them: a line ends at CR LF or at a lone CR;
// a lone LF is an ordinary character of the line. A last line without a line end is a line.
// Files whose line breaks are all LF are the exception: their lines end at LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quobrel {

std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// What becomes of a file's line breaks.
enum class LineBreakRule {
  Keep,   // every line-break character and the file's end as they were
  Lines,  // the file's lines, written with one break after each: LF for a file whose line
          // breaks are all LF, CR LF for any other
  CrLf,   // every CR LF, lone CR and lone LF a line break, written as CR LF; a text that
          // does not end with one is given one
  Lf,     // the same, written as LF
};

// The breaks a file is written with: Keep's, Lines's two, and CrLf's and Lf's.
enum class FileLineBreaks { AsTheyWere, CrLf, Lf, AnyToCrLf, AnyToLf };

// From whether the file has any CR and any LF.
FileLineBreaks LineBreaksOf(bool hasCr, bool hasLf, LineBreakRule rule);

// A piece of the file's text, cut just after a line break (and never between CR and LF),
// as the commands take it: its lines joined by CR LF, and the last piece without the
// break after the last line. With FileLineBreaks::AsTheyWere, the text as it is.
std::u16string ForCommands(std::u16string piece, FileLineBreaks breaks, bool last);

// A command's result for a piece as the file's text; the break after the last line
// comes from FinalLineBreak, in bytes.
std::u16string ForFile(std::u16string result, FileLineBreaks breaks);
std::string_view FinalLineBreak(FileLineBreaks breaks);

// The end of the last line break in `bytes` (a LF, or a CR not followed by LF) known to
// be one, or 0. A CR at the very end is one only `atEnd`, when nothing follows.
std::size_t EndOfLastLineBreak(std::string_view bytes, bool atEnd);

// The line breaks in `bytes` (LF, CR LF, or a lone CR), which end where a piece ends or
// before a byte that is no LF.
std::size_t CountLineBreaks(std::string_view bytes);

}  // namespace quobrel
