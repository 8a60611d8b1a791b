#include "encoding/text_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quobrel {
namespace {

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

// Each one-character line break that `isLoneBreak` finds, written as CR LF.
template <class IsLoneBreak>
std::u16string WithCrLf(std::u16string text, IsLoneBreak isLoneBreak) {
  std::size_t lone = 0;
  for (std::size_t at = 0; at < text.size(); ++at) lone += isLoneBreak(text, at);
  if (lone == 0) return text;
  std::u16string joined;
  joined.reserve(text.size() + lone);
  std::size_t from = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!isLoneBreak(text, at)) continue;
    joined.append(text, from, at - from).append(u"\r\n");
    from = at + 1;
  }
  return joined.append(text, from);
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

FileLineBreaks LineBreaksOf(bool hasCr, bool hasLf, LineBreakRule rule) {
  switch (rule) {
    case LineBreakRule::Keep:
      return FileLineBreaks::AsTheyWere;
    case LineBreakRule::Lines:
      return hasLf && !hasCr ? FileLineBreaks::Lf : FileLineBreaks::CrLf;
    case LineBreakRule::CrLf:
      return FileLineBreaks::AnyToCrLf;
    case LineBreakRule::Lf:
      return FileLineBreaks::AnyToLf;
  }
  return FileLineBreaks::AsTheyWere;
}

std::u16string ForCommands(std::u16string piece, FileLineBreaks breaks, bool last) {
  const auto loneLf = [](const std::u16string& text, std::size_t at) {
    return text[at] == u'\n' && (at == 0 || text[at - 1] != u'\r');
  };
  const auto loneCr = [](const std::u16string& text, std::size_t at) {
    return text[at] == u'\r' && (at + 1 == text.size() || text[at + 1] != u'\n');
  };
  switch (breaks) {
    case FileLineBreaks::AsTheyWere:
      return piece;
    case FileLineBreaks::Lf:
      // A file of LF breaks only: each LF ends a line.
      piece = WithCrLf(std::move(piece), loneLf);
      break;
    case FileLineBreaks::CrLf:
      // A lone CR ends a line; a lone LF is part of one.
      piece = WithCrLf(std::move(piece), loneCr);
      break;
    case FileLineBreaks::AnyToCrLf:
    case FileLineBreaks::AnyToLf:
      piece = WithCrLf(std::move(piece), [&](const std::u16string& text, std::size_t at) {
        return loneCr(text, at) || loneLf(text, at);
      });
      break;
  }
  if (last && piece.ends_with(u"\r\n")) piece.resize(piece.size() - 2);
  return piece;
}

std::u16string ForFile(std::u16string result, FileLineBreaks breaks) {
  switch (breaks) {
    case FileLineBreaks::AsTheyWere:
    case FileLineBreaks::CrLf:
      return result;
    case FileLineBreaks::Lf:
      CrLfToLf(result);
      return result;
    case FileLineBreaks::AnyToCrLf:
    case FileLineBreaks::AnyToLf:
      break;
  }
  // Every break a command wrote too, lone CR and lone LF alike.
  std::u16string written;
  written.reserve(result.size());
  const std::u16string_view lineBreak = breaks == FileLineBreaks::AnyToLf ? u"\n" : u"\r\n";
  for (std::size_t at = 0; at < result.size(); ++at) {
    const char16_t unit = result[at];
    if (unit != u'\r' && unit != u'\n') {
      written += unit;
      continue;
    }
    if (unit == u'\r' && at + 1 < result.size() && result[at + 1] == u'\n') ++at;
    written += lineBreak;
  }
  return written;
}

std::string_view FinalLineBreak(FileLineBreaks breaks) {
  switch (breaks) {
    case FileLineBreaks::AsTheyWere:
      return "";
    case FileLineBreaks::CrLf:
    case FileLineBreaks::AnyToCrLf:
      return "\r\n";
    case FileLineBreaks::Lf:
    case FileLineBreaks::AnyToLf:
      return "\n";
  }
  return "";
}

std::size_t EndOfLastLineBreak(std::string_view bytes, bool atEnd) {
  for (std::size_t end = bytes.size(); end > 0; --end) {
    const char c = bytes[end - 1];
    // A CR whose next byte is known, and is no LF (that would have been found first).
    if (c == '\n' || (c == '\r' && (end < bytes.size() || atEnd))) return end;
  }
  return 0;
}

std::size_t CountLineBreaks(std::string_view bytes) {
  // Each LF, and each CR that no LF follows: sixteen bytes at a time, each beside the byte
  // after it, with a counter per lane emptied before it can overflow.
  using Block = std::uint8_t __attribute__((vector_size(16)));
  const std::size_t size = bytes.size();
  std::size_t breaks = 0;
  std::size_t i = 0;
  while (i + sizeof(Block) < size) {
    Block counters{};
    for (int round = 0; round < 255 && i + sizeof(Block) < size; ++round, i += sizeof(Block)) {
      Block b, next;
      std::memcpy(&b, bytes.data() + i, sizeof b);
      std::memcpy(&next, bytes.data() + i + 1, sizeof next);
      // A lane's comparison is all ones where it holds: subtracting it counts one.
      counters -=
          (b == std::uint8_t{'\n'}) | ((b == std::uint8_t{'\r'}) & (next != std::uint8_t{'\n'}));
    }
    for (std::size_t lane = 0; lane < sizeof(Block); ++lane) breaks += counters[lane];
  }
  for (; i < size; ++i) {
    breaks += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n'));
  }
  return breaks;
}

}  // namespace quobrel
