#include "text_lines.h"

namespace quobrel {

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

std::u16string JoinedLines(std::u16string text) {
  if (text.ends_with(u"\r\n")) {
    text.resize(text.size() - 2);
  } else if (text.ends_with(u'\r')) {
    text.pop_back();
  }
  std::size_t loneCr = text.find(u'\r');
  while (loneCr != std::u16string::npos && loneCr + 1 < text.size() && text[loneCr + 1] == u'\n') {
    loneCr = text.find(u'\r', loneCr + 2);
  }
  if (loneCr == std::u16string::npos) return text;  // the usual case: already joined

  std::u16string joined;
  joined.reserve(text.size() + text.size() / 8);
  bool first = true;
  for (std::u16string_view line : SplitLines(text)) {
    if (!first) joined.append(u"\r\n");
    joined.append(line);
    first = false;
  }
  return joined;
}

}  // namespace quobrel
