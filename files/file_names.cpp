#include "files/file_names.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <charconv>
#include <cstdint>

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
bool EqualsLowered(std::basic_string_view<Char> text, std::u16string_view lower) {
  auto lowered = [](Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c + ('a' - 'A')) : c;
  };
  return std::equal(text.begin(), text.end(), lower.begin(), lower.end(),
                    [&](Char c, char16_t l) { return static_cast<char16_t>(lowered(c)) == l; });
}

// "~N~" after ".old.", as numbered backups end.
template <class Char>
bool IsNumberedBackup(std::basic_string_view<Char> fileName) {
  const std::basic_string_view<Char> number = ExtensionOf(fileName);
  if (number.size() < 3 || number.front() != Char('~') || number.back() != Char('~') ||
      !std::all_of(number.begin() + 1, number.end() - 1,
                   [](Char c) { return c >= Char('0') && c <= Char('9'); })) {
    return false;
  }
  return EqualsLowered(ExtensionOf(fileName.substr(0, fileName.size() - number.size() - 1)),
                       u"old");
}

template <class Char>
bool IsRefusedName(std::basic_string_view<Char> fileName) {
  const std::basic_string_view<Char> extension = ExtensionOf(fileName);
  return IsNumberedBackup(fileName) ||
         std::any_of(
             kRefusedExtensions.begin(), kRefusedExtensions.end(),
             [&](std::u16string_view refused) { return EqualsLowered(extension, refused); });
}

// The length of the UTF-8 character `bytes` starts with; 0 for a byte that starts none.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::int32_t length = 0;
  UChar32 character;
  U8_NEXT(data, length, static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), 4)),
          character);
  return character < 0 ? 0 : static_cast<std::size_t>(length);
}

// `name` with the characters, and the bytes that start none, that `escaped` picks spelt
// "\xNN" for each of their bytes.
template <class Escaped>
std::string Spelt(std::string_view name, Escaped escaped) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string spelt;
  spelt.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t length = Utf8SequenceLength(name.substr(i));
    const std::string_view sequence = name.substr(i, std::max<std::size_t>(length, 1));
    if (escaped(sequence, length != 0)) {
      for (const char byte : sequence) {
        const auto value = static_cast<unsigned char>(byte);
        spelt.append("\\x").push_back(kHex[value >> 4]);
        spelt.push_back(kHex[value & 15]);
      }
    } else {
      spelt.append(sequence);
    }
    i += sequence.size();
  }
  return spelt;
}

}  // namespace

std::u16string_view GetExtension(std::u16string_view path) { return ExtensionOf(path); }
std::string_view GetExtension(std::string_view path) { return ExtensionOf(path); }

bool IsRefused(std::u16string_view fileName) { return IsRefusedName(fileName); }
bool IsRefused(std::string_view fileName) { return IsRefusedName(fileName); }

std::string PrintableName(std::string_view name) {
  return Spelt(name, [](std::string_view sequence, bool character) {
    const auto byte = static_cast<unsigned char>(sequence[0]);
    // U+0080 to U+009F are C2 80 to C2 9F in UTF-8; a lone byte of 80 to 9F is C1 to a
    // terminal that takes bytes as Latin-1.
    const bool c1 = character ? byte == 0xC2 && static_cast<unsigned char>(sequence[1]) <= 0x9F
                              : byte >= 0x80 && byte <= 0x9F;
    return byte < 0x20 || byte == 0x7F || c1;
  });
}

std::string Utf8Name(std::string_view name) {
  return Spelt(name, [](std::string_view, bool character) { return !character; });
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

std::string BackupName(std::string_view path) {
  const std::size_t dot = FileNameOf(path).find_last_of('.');
  if (dot == path.npos || dot == 0) return std::string(path) + ".old";
  return std::string(path.substr(0, path.size() - GetExtension(path).size())) + "old";
}

unsigned BackupNumber(std::string_view name, std::string_view backup) {
  if (!name.starts_with(backup) || !name.substr(backup.size()).starts_with(".~") ||
      !name.ends_with('~')) {
    return 0;
  }
  const std::string_view digits = name.substr(backup.size() + 2, name.size() - backup.size() - 3);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return error == std::errc() && end == digits.data() + digits.size() ? number : 0;
}

std::string NumberedBackupName(std::string_view backup, unsigned number) {
  return std::string(backup) + ".~" + std::to_string(number) + "~";
}

}  // namespace quobrel
