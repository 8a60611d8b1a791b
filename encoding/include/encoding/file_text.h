// How a file's bytes are read as text for the commands, and how a result is written back
// in kind: the file's encoding, its byte-order mark, its line breaks and, in code page
// 932 and EUC-JP, the very codes it used for characters that have more than one.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "encoding/alternate_codes.h"
#include "encoding/encoding_detection.h"
#include "encoding/text_codec.h"
#include "encoding/text_lines.h"

namespace quobrel {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// What the user asked for.
struct FileFormat {
  std::optional<TextEncoding> encoding;              // nothing: told apart file by file
  TextEncoding asciiEncoding = TextEncoding::Cp932;  // for a file of ASCII only, told apart
  LineBreakRule lineBreaks = LineBreakRule::Lines;
  std::optional<TextEncoding> outputEncoding = {};  // nothing: the file's own
};

// What a file was, so that its result is written in kind.
struct FileKind {
  TextEncoding encoding = TextEncoding::Cp932;
  std::optional<TextEncoding> outputEncoding = {};  // nothing: the same
  bool byteOrderMark = false;
  FileLineBreaks lineBreaks = FileLineBreaks::AsTheyWere;
  AlternateCodes alternateCodes;

  TextEncoding Written() const { return outputEncoding.value_or(encoding); }
};

enum class TextFailure {
  None,
  Invalid,       // no encoding tried reads the bytes
  Undecided,     // more than one reads them and nothing tells which
  NotRoundTrip,  // read, they would not be written back as they are
  Unencodable,   // the result has a character the encoding cannot hold
  Binary,        // it holds NUL bytes: no text file does
};

// A first reading of a whole file, piece by piece, for what the conversion must know
// before it starts: the encoding, whether it has CR or LF, and the alternate codes.
class FileSurvey {
 public:
  explicit FileSurvey(const FileFormat& format) : format_(format) {}

  // The length of the byte-order mark the file starts with (its first bytes given), which
  // the pieces then leave out; 0 when it has none or is not read as UTF-8.
  std::size_t TakeByteOrderMark(std::string_view firstBytes);

  // What to look for in the next pieces; `ForEachPiece` can skip reading when nothing.
  struct Plan {
    std::vector<TextEncoding> readers;  // of the encodings still in question
    bool lineBreaks = false;
    std::vector<TextEncoding> alternateCodes;  // to note, of those the file may be in
    bool nulBytes = false;
    bool Any() const {
      return !readers.empty() || lineBreaks || !alternateCodes.empty() || nulBytes;
    }
  };
  Plan NextPlan() const;

  // What a piece shows, found on any thread.
  struct Notes {
    EncodingSurvey::Evidence evidence;
    bool hasCr = false;
    bool hasLf = false;
    bool hasNul = false;
    std::map<TextEncoding, AlternateCodes> alternateCodes;  // in each encoding the plan names
  };
  static Notes Look(std::string_view piece, const Plan& plan);
  // The notes of the pieces in the file's order.
  void Add(const Notes& notes);

  struct Outcome {
    TextFailure failure = TextFailure::None;  // None, Binary, Invalid or Undecided
    std::vector<TextEncoding> encodings;      // Invalid: those tried; Undecided: candidates
    bool detected = false;                    // the encoding was told apart, not asked for
    bool asciiOnly = false;  // told apart, and of ASCII only: read alike in every encoding
  };
  // Moves out the file's kind, when it can be read.
  [[nodiscard]] Outcome Finish(FileKind& kind);

 private:
  const FileFormat& format_;
  bool byteOrderMark_ = false;
  EncodingSurvey encodings_;
  bool hasCr_ = false;
  bool hasLf_ = false;
  bool hasNul_ = false;
  std::map<TextEncoding, AlternateCodes> alternateCodes_;
};

}  // namespace quobrel
