#include "encoding/file_text.h"

#include <cstring>
#include <iterator>

namespace quobrel {
std::size_t FileSurvey::TakeByteOrderMark(std::string_view firstBytes) {
  // A byte-order mark says UTF-8, unless the user says otherwise.
  byteOrderMark_ = firstBytes.starts_with(kUtf8ByteOrderMark) &&
                   format_.encoding.value_or(TextEncoding::Utf8) == TextEncoding::Utf8;
  return byteOrderMark_ ? kUtf8ByteOrderMark.size() : 0;
}

FileSurvey::Plan FileSurvey::NextPlan() const {
  Plan plan;
  // A binary file is read no further: nothing else about it counts.
  if (hasNul_) return plan;
  plan.nulBytes = true;
  const bool asked = format_.encoding || byteOrderMark_;
  if (!asked) plan.readers = encodings_.Readers();
  plan.lineBreaks = format_.lineBreaks == LineBreakRule::Lines && !(hasCr_ && hasLf_);
  // Code page 932 and EUC-JP, asked for or still possible.
  const std::vector<TextEncoding> possible =
      asked ? std::vector<TextEncoding>{format_.encoding.value_or(TextEncoding::Utf8)}
            : encodings_.Possible();
  for (TextEncoding encoding : possible) {
    if (HasAlternateCodes(encoding)) plan.alternateCodes.push_back(encoding);
  }
  return plan;
}

FileSurvey::Notes FileSurvey::Look(std::string_view piece, const Plan& plan) {
  Notes notes;
  if (plan.nulBytes) notes.hasNul = std::memchr(piece.data(), '\0', piece.size()) != nullptr;
  if (!plan.readers.empty()) notes.evidence = EncodingSurvey::Weigh(piece, plan.readers);
  if (plan.lineBreaks) {
    notes.hasCr = std::memchr(piece.data(), '\r', piece.size()) != nullptr;
    notes.hasLf = std::memchr(piece.data(), '\n', piece.size()) != nullptr;
  }
  for (TextEncoding encoding : plan.alternateCodes)
    notes.alternateCodes[encoding] = AlternateCodes::Of(piece, encoding);
  return notes;
}

void FileSurvey::Add(const Notes& notes) {
  encodings_.Add(notes.evidence);
  hasCr_ = hasCr_ || notes.hasCr;
  hasLf_ = hasLf_ || notes.hasLf;
  hasNul_ = hasNul_ || notes.hasNul;
  for (const auto& [encoding, codes] : notes.alternateCodes)
    alternateCodes_[encoding].Append(codes);
}

FileSurvey::Outcome FileSurvey::Finish(FileKind& kind) {
  Outcome outcome;
  if (hasNul_) {
    outcome.failure = TextFailure::Binary;
    return outcome;
  }
  kind.byteOrderMark = byteOrderMark_;
  kind.lineBreaks = LineBreaksOf(hasCr_, hasLf_, format_.lineBreaks);
  if (byteOrderMark_) {
    kind.encoding = TextEncoding::Utf8;
  } else if (format_.encoding) {
    kind.encoding = *format_.encoding;
  } else {
    outcome.detected = true;
    Detection detection = encodings_.Result();
    if (!detection.encoding && !detection.asciiOnly) {
      const bool invalid = detection.candidates.empty();
      outcome.failure = invalid ? TextFailure::Invalid : TextFailure::Undecided;
      outcome.encodings =
          invalid ? std::vector<TextEncoding>(std::begin(kAllEncodings), std::end(kAllEncodings))
                  : std::move(detection.candidates);
      return outcome;
    }
    outcome.asciiOnly = detection.asciiOnly;
    kind.encoding = detection.encoding.value_or(format_.asciiEncoding);
  }
  kind.outputEncoding = format_.outputEncoding;
  // The mark and the very codes of code page 932 and EUC-JP are kept where the result can
  // hold them.
  kind.byteOrderMark = kind.byteOrderMark && kind.Written() == TextEncoding::Utf8;
  if (const auto codes = alternateCodes_.find(kind.encoding);
      codes != alternateCodes_.end() && kind.Written() == kind.encoding)
    kind.alternateCodes = std::move(codes->second);
  return outcome;
}

}  // namespace quobrel
