#include "encoding/alternate_codes.h"

#include <algorithm>
#include <map>
#include <utility>

#include "internal/code_walk.h"

namespace quobrel {
namespace {

using Code = AlternateCodes::Code;

// Which codes read as the same character, and which of them Encode writes for it: what the
// codec itself does, code by code.
AlternateCodes::CodeTable BuildStandardCodes(TextEncoding encoding) {
  std::vector<std::pair<std::u16string, Code>> read;  // each code's character, and the code
  read.reserve(0x4000);
  ForEachPossibleCode(encoding, [&](Code code) {
    Result<std::u16string, TextPosition> text = Decode(BytesOf(code), encoding);
    if (text && !text->empty()) read.emplace_back(*std::move(text), code);
  });
  std::sort(read.begin(), read.end());
  AlternateCodes::CodeTable table;
  for (auto first = read.begin(); first != read.end();) {
    const std::u16string& character = first->first;
    const auto last = std::find_if(first, read.end(),
                                   [&](const auto& other) { return other.first != character; });
    // A character the encoding cannot write keeps what it had: nothing.
    const Result<std::string, Unencodable> written =
        last - first > 1 ? Encode(character, encoding) : Failure(Unencodable{});
    if (written && written->size() <= 3) {
      const Code standard = CodeAt(*written, 0, written->size());
      if (std::any_of(first, last, [&](const auto& other) { return other.second == standard; })) {
        for (auto code = first; code != last; ++code) table.Set(code->second, standard);
      }
    }
    first = last;
  }
  return table;
}

}  // namespace

std::size_t AlternateCodes::CodeTable::Row(Code code) {
  if (code <= 0xFFFF) return code >> 8;
  return code >> 16 == 0x8F ? 0x100 | (code >> 8 & 0xFF) : kNone;
}

void AlternateCodes::CodeTable::Set(Code code, Code standard) {
  const std::size_t row = Row(code);
  if (row == kNone) return;
  rows_.resize(0x200);
  if (rows_[row].empty()) rows_[row].resize(0x100, 0);
  rows_[row][code & 0xFF] = standard;
}

AlternateCodes::Code AlternateCodes::CodeTable::operator[](Code code) const {
  const std::size_t row = Row(code);
  return row < rows_.size() && !rows_[row].empty() ? rows_[row][code & 0xFF] : 0;
}

const AlternateCodes::CodeTable& AlternateCodes::StandardCodes(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp932: {
      static const CodeTable cp932 = BuildStandardCodes(encoding);
      return cp932;
    }
    case TextEncoding::EucJp: {
      static const CodeTable eucJp = BuildStandardCodes(encoding);
      return eucJp;
    }
    case TextEncoding::Utf8:
      break;
  }
  static const CodeTable none;
  return none;
}

AlternateCodes AlternateCodes::Of(std::string_view bytes, TextEncoding encoding) {
  AlternateCodes noted;
  noted.encoding_ = encoding;
  if (!HasAlternateCodes(encoding)) return noted;
  const CodeTable& standardCodes = StandardCodes(encoding);
  ForEachMultiByteCode(bytes, encoding, [&](std::size_t, Code code) {
    if (const Code standard = standardCodes[code]) {
      std::vector<Run>& runs = noted.uses_[standard];
      if (runs.empty() || runs.back().code != code) runs.push_back({code, 0});
      ++runs.back().count;
    }
  });
  return noted;
}

void AlternateCodes::Append(const AlternateCodes& later) {
  if (uses_.empty()) encoding_ = later.encoding_;
  for (const auto& [standard, laterRuns] : later.uses_) {
    std::vector<Run>& runs = uses_[standard];
    for (const Run& run : laterRuns) {
      if (!runs.empty() && runs.back().code == run.code) {
        runs.back().count += run.count;
      } else {
        runs.push_back(run);
      }
    }
  }
}

AlternateCodes::Restoration::Restoration(const AlternateCodes& source)
    : encoding_(source.encoding_) {
  for (const auto& [standard, runs] : source.uses_) {
    std::map<Code, std::size_t> counts;
    for (const Run& run : runs) counts[run.code] += run.count;
    const Code mostUsed =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
          return a.second < b.second;
        })->first;
    cursors_.emplace(standard, Cursor{&runs, 0, 0, mostUsed});
  }
}

void AlternateCodes::Restoration::Restore(std::string& bytes,
                                          const std::vector<std::size_t>& alternateCodesAt) {
  if (alternateCodesAt.empty() || cursors_.empty()) return;
  const CodeTable& standardCodes = StandardCodes(encoding_);
  // Each code is put back in place while it is as long as the one written; from the first
  // that is not, the bytes are copied anew around them.
  std::string restored;
  bool copying = false;
  std::size_t copied = 0;  // of `bytes`, into `restored`
  for (std::size_t at : alternateCodesAt) {
    const std::size_t length = CodeLength(static_cast<unsigned char>(bytes[at]), encoding_);
    const auto cursor = cursors_.find(standardCodes[CodeAt(bytes, at, length)]);
    if (cursor == cursors_.end()) continue;
    Cursor& next = cursor->second;
    const std::vector<Run>& runs = *next.runs;
    Code original = next.mostUsed;
    if (next.run < runs.size()) {
      original = runs[next.run].code;
      if (++next.taken == runs[next.run].count) {
        ++next.run;
        next.taken = 0;
      }
    }
    const std::size_t originalLength = LengthOf(original);
    if (originalLength == length) {
      PutCode(bytes.data() + at, original, length);
      continue;
    }
    if (!copying) restored.reserve(bytes.size() + alternateCodesAt.size());
    copying = true;
    restored.append(bytes, copied, at - copied);
    restored.append(BytesOf(original));
    copied = at + length;
  }
  if (!copying) return;
  restored.append(bytes, copied);
  bytes = std::move(restored);
}

}  // namespace quobrel
