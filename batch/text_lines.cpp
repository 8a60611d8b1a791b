#include "batch/text_lines.h"

#include <algorithm>

namespace quobrel {
namespace {

bool HasLoneCr(std::u16string_view text) {
  for (std::size_t cr = text.find(u'\r'); cr != text.npos; cr = text.find(u'\r', cr + 1)) {
    if (cr + 1 == text.size() || text[cr + 1] != u'\n') return true;
  }
  return false;
}

// Every CR LF of the text as LF, in place.
void CrLfToLf(std::u16string& text) {
  std::size_t kept = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!(text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')) {
      text[kept++] = text[at];
    }
  }
  text.resize(kept);
}

std::u16string Joined(const std::vector<std::u16string_view>& lines, std::size_t size) {
  std::u16string joined;
  joined.reserve(size + 2 * lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined.append(u"\r\n");
    joined.append(lines[i]);
  }
  return joined;
}

// The lines of a text whose line breaks are all LF.
std::vector<std::u16string_view> LinesAtLf(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(u'\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t cr = text.find(u'\r', start);
    if (cr == std::u16string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, cr - start));
    start = cr + 1;
    if (start < text.size() && text[start] == u'\n') ++start;
  }
  return lines;
}

FileLineBreaks LineBreaksOf(std::u16string_view text, LineBreakRule rule) {
  if (rule == LineBreakRule::Keep) return FileLineBreaks::AsTheyWere;
  const bool lf = text.find(u'\n') != text.npos && text.find(u'\r') == text.npos;
  return lf ? FileLineBreaks::Lf : FileLineBreaks::CrLf;
}

std::u16string ForCommands(std::u16string text, FileLineBreaks breaks) {
  switch (breaks) {
    case FileLineBreaks::AsTheyWere:
      return text;
    case FileLineBreaks::Lf:
      return Joined(LinesAtLf(text), text.size());
    case FileLineBreaks::CrLf:
      if (HasLoneCr(text)) return Joined(SplitLines(text), text.size());
      // The usual case: the lines are joined already.
      if (text.ends_with(u"\r\n")) text.resize(text.size() - 2);
      return text;
  }
  return text;
}

std::u16string ForFile(std::u16string result, FileLineBreaks breaks) {
  if (breaks == FileLineBreaks::Lf) CrLfToLf(result);
  return result;
}

std::string_view FinalLineBreak(FileLineBreaks breaks) {
  switch (breaks) {
    case FileLineBreaks::AsTheyWere:
      return "";
    case FileLineBreaks::CrLf:
      return "\r\n";
    case FileLineBreaks::Lf:
      return "\n";
  }
  return "";
}

}  // namespace quobrel
