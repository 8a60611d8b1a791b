#include "file_names.h"

#include <algorithm>

namespace quobrel {
namespace {

std::u16string_view FileNameOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u'/');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

char16_t ToLowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

}  // namespace

std::u16string_view GetExtension(std::u16string_view path) {
  const std::u16string_view name = FileNameOf(path);
  const std::size_t dot = name.find_last_of(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot + 1);
}

bool IsRefused(std::u16string_view fileName) {
  std::u16string extension(GetExtension(fileName));
  std::transform(extension.begin(), extension.end(), extension.begin(), ToLowerAscii);
  return std::find(RefusedExtensions.begin(), RefusedExtensions.end(), extension) !=
         RefusedExtensions.end();
}

std::u16string BackupName(std::u16string_view path) {
  const std::u16string_view name = FileNameOf(path);
  if (name.find(u'.') == std::u16string_view::npos) return std::u16string(path) + u".old";
  return std::u16string(path.substr(0, path.size() - GetExtension(path).size())) + u"old";
}

}  // namespace quobrel
