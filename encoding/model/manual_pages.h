// The Japanese manual pages as plain text, for training the model that tells encodings
// apart and for measuring it on pages it was not trained on.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace quobrel::manual_pages {

// One page in five, by a hash of its file name, is held out of the training.
inline bool IsHeldOut(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash % 5 == 0;
}

// The text of a line of roff, without its escapes; a request keeps its arguments.
inline std::string TextOfRoffLine(std::string_view line) {
  if (line.starts_with(".\\\"") || line.starts_with("'\\\"")) return {};
  if (line.starts_with('.') || line.starts_with('\'')) {
    const std::size_t space = line.find(' ');
    line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  }
  std::string text;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"' && (i == 0 || line[i - 1] == ' ')) continue;
    if (line[i] != '\\' || i + 1 == line.size()) {
      text += line[i];
      continue;
    }
    const char escape = line[++i];
    // Skips an argument of the forms X, (XX and [...].
    const auto skipName = [&] {
      if (i + 1 >= line.size()) return;
      if (line[i + 1] == '(') {
        i = std::min(i + 3, line.size() - 1);
      } else if (line[i + 1] == '[') {
        const std::size_t close = line.find(']', i);
        i = close == std::string_view::npos ? line.size() - 1 : close;
      } else {
        ++i;
      }
    };
    switch (escape) {
      case '"':
        return text;
      case 'f':
      case '*':
      case 'n':
      case 'F':
        skipName();
        break;
      case '(':
        i = std::min(i + 2, line.size() - 1);
        break;
      case '[':
        i = std::min(line.find(']', i), line.size() - 1);
        break;
      case 's':
        if (i + 1 < line.size() && (line[i + 1] == '+' || line[i + 1] == '-')) ++i;
        while (i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9') ++i;
        break;
      case '-':
        text += '-';
        break;
      case 'e':
        text += '\\';
        break;
      case ' ':
      case '~':
        text += ' ';
        break;
      case '&':
      case 'c':
      case '%':
      case ':':
      case '|':
      case '^':
      case '/':
      case ',':
        break;
      default:
        text += escape;
    }
  }
  return text;
}

// The pages' text in UTF-8, line by line, each page as one string.
inline std::string TextOfPage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text, line;
  while (std::getline(in, line)) {
    std::string lineText = TextOfRoffLine(line);
    if (!lineText.empty()) text += lineText + '\n';
  }
  return text;
}

}  // namespace quobrel::manual_pages
