#include "batch/file_names.h"

#include <algorithm>

namespace quobrel {
namespace {

template <class Char>
std::basic_string_view<Char> FileNameOf(std::basic_string_view<Char> path) {
  const std::size_t slash = path.find_last_of(Char('/'));
  return slash == path.npos ? path : path.substr(slash + 1);
}

template <class Char>
std::basic_string_view<Char> ExtensionOf(std::basic_string_view<Char> path) {
  const std::basic_string_view<Char> name = FileNameOf(path);
  const std::size_t dot = name.find_last_of(Char('.'));
  return dot == name.npos ? std::basic_string_view<Char>() : name.substr(dot + 1);
}

// Extensions are compared as ASCII; a name's other characters never match.
template <class Char>
bool IsRefusedName(std::basic_string_view<Char> fileName) {
  const std::basic_string_view<Char> extension = ExtensionOf(fileName);
  auto lower = [](Char c) { return c >= Char('A') && c <= Char('Z') ? Char(c + ('a' - 'A')) : c; };
  return std::any_of(
      kRefusedExtensions.begin(), kRefusedExtensions.end(), [&](std::u16string_view refused) {
        return std::equal(extension.begin(), extension.end(), refused.begin(), refused.end(),
                          [&](Char c, char16_t r) { return static_cast<char16_t>(lower(c)) == r; });
      });
}

}  // namespace

std::u16string_view GetExtension(std::u16string_view path) { return ExtensionOf(path); }
std::string_view GetExtension(std::string_view path) { return ExtensionOf(path); }

bool IsRefused(std::u16string_view fileName) { return IsRefusedName(fileName); }
bool IsRefused(std::string_view fileName) { return IsRefusedName(fileName); }

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

std::string BackupName(std::string_view path) {
  if (FileNameOf(path).find('.') == path.npos) return std::string(path) + ".old";
  return std::string(path.substr(0, path.size() - GetExtension(path).size())) + "old";
}

}  // namespace quobrel
