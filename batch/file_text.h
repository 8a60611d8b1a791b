// A file's bytes as text for the commands, and a command's result as bytes of the same
// kind: the file's encoding, its byte-order mark, its line breaks and, in code page 932,
// the very codes it used for characters that have more than one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/cp932_duplicates.h"
#include "batch/text_codec.h"
#include "batch/text_lines.h"

namespace quobrel {

// What the user asked for.
struct FileFormat {
  std::optional<TextEncoding> encoding;              // nothing: told apart file by file
  TextEncoding asciiEncoding = TextEncoding::Cp932;  // for a file of ASCII only, told apart
  LineBreakRule lineBreaks = LineBreakRule::Lines;
};

// What a file was, so that its result is written in kind.
struct FileKind {
  TextEncoding encoding = TextEncoding::Cp932;
  bool byteOrderMark = false;
  FileLineBreaks lineBreaks = FileLineBreaks::CrLf;
  Cp932Duplicates duplicates;
};

struct FileText {
  enum class Failure {
    None,
    Invalid,       // no encoding tried reads the bytes
    Undecided,     // more than one reads them and nothing tells which
    NotRoundTrip,  // read, they would not be written back as they are
  };
  std::u16string text;  // as the commands take it
  FileKind kind;
  Failure failure = Failure::None;
  std::vector<TextEncoding> encodings;   // Invalid: those tried; Undecided: those that read it
  std::optional<std::size_t> invalidAt;  // Invalid in the one encoding asked for: the byte
};

FileText ReadFileText(std::string_view bytes, const FileFormat& format);

struct FileBytes {
  std::string_view byteOrderMark;
  std::string body;
  std::string_view finalLineBreak;
  std::optional<std::size_t> unencodableAt;
};

FileBytes WriteFileText(std::u16string result, const FileKind& kind);

}  // namespace quobrel
