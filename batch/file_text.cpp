#include "batch/file_text.h"

#include "batch/encoding_detection.h"

#include <iterator>

namespace quobrel {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

FileText ReadFileText(std::string_view bytes, const FileFormat& format) {
  FileText file;
  FileKind& kind = file.kind;
  // A byte-order mark says UTF-8 (unless the user says otherwise) and is written back.
  kind.byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark) &&
                       format.encoding.value_or(TextEncoding::Utf8) == TextEncoding::Utf8;
  if (kind.byteOrderMark) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  const std::optional<TextEncoding> asked =
      kind.byteOrderMark ? TextEncoding::Utf8 : format.encoding;

  std::u16string text;
  if (asked) {
    DecodedText decoded = Decode(bytes, *asked);
    if (decoded.invalidByteAt) {
      file.failure = FileText::Failure::Invalid;
      file.encodings = {*asked};
      file.invalidAt =
          *decoded.invalidByteAt + (kind.byteOrderMark ? kUtf8ByteOrderMark.size() : 0);
      return file;
    }
    kind.encoding = *asked;
    text = std::move(decoded.text);
  } else {
    Detection detection = DetectEncoding(bytes);
    if (!detection.encoding && !detection.asciiOnly) {
      const bool invalid = detection.candidates.empty();
      file.failure = invalid ? FileText::Failure::Invalid : FileText::Failure::Undecided;
      file.encodings =
          invalid ? std::vector<TextEncoding>(std::begin(kAllEncodings), std::end(kAllEncodings))
                  : std::move(detection.candidates);
      return file;
    }
    kind.encoding = detection.encoding.value_or(format.asciiEncoding);
    // ASCII only reads alike in all three, but for the control codes that code page 932
    // maps elsewhere: read in the encoding it will be written in.
    text = detection.asciiOnly ? Decode(bytes, kind.encoding).text : std::move(detection.text);
  }
  // ICU's EUC-JP reads some codes as characters it writes with other codes: such a file
  // would change where nothing was converted.
  if (kind.encoding == TextEncoding::EucJp && Encode(text, kind.encoding).bytes != bytes) {
    file.failure = FileText::Failure::NotRoundTrip;
    return file;
  }
  if (kind.encoding == TextEncoding::Cp932) kind.duplicates = Cp932Duplicates::Of(bytes);
  kind.lineBreaks = LineBreaksOf(text, format.lineBreaks);
  file.text = ForCommands(std::move(text), kind.lineBreaks);
  return file;
}

FileBytes WriteFileText(std::u16string result, const FileKind& kind) {
  EncodedText encoded = Encode(ForFile(std::move(result), kind.lineBreaks), kind.encoding);
  if (kind.encoding == TextEncoding::Cp932) kind.duplicates.Restore(encoded.bytes);
  return {kind.byteOrderMark ? kUtf8ByteOrderMark : std::string_view(), std::move(encoded.bytes),
          FinalLineBreak(kind.lineBreaks), encoded.unencodableAt};
}

}  // namespace quobrel
