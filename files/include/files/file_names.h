// File names: their extensions, the files the lists refuse, and backup names.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace quobrel {

// The characters after the last "." of the file name, without the dot; empty when the file
// name has no dot. A dot in a folder name of a path never counts.
std::u16string_view GetExtension(std::u16string_view path);
std::string_view GetExtension(std::string_view path);  // the path's bytes

// Binary files and backups, which the file lists do not let the user select; compared
// with the extension in lower case. Numbered backups ("memo.old.~2~") are refused too.
inline constexpr std::array<std::u16string_view, 16> kRefusedExtensions{
    u"old", u"exe", u"com", u"dll", u"ocx", u"gif", u"jpg", u"jpeg",
    u"mp3", u"xls", u"xla", u"dot", u"bmp", u"scr", u"wav", u"oca",
};

bool IsRefused(std::u16string_view fileName);
bool IsRefused(std::string_view fileName);  // the name's bytes

// A name as it may be printed on a terminal or shown in a list: every control character
// (C0, DEL and, in UTF-8, C1) as "\xNN" for each of its bytes, so that no name moves the
// cursor, rings the bell or forges a line. Other bytes, UTF-8 or not, stay as they are.
std::string PrintableName(std::string_view name);

// A name as valid UTF-8: every byte that is no part of a UTF-8 character as "\xNN".
std::string Utf8Name(std::string_view name);

// The folder a path lies in; "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& path);

// The path (its bytes) with its extension replaced by "old" (memo.txt: memo.old); a file
// name without a dot, or with none but the one that hides it, gets ".old" added
// (README: README.old; .bashrc: .bashrc.old, as .profile would otherwise share ".old").
std::string BackupName(std::string_view path);

// A backup kept under a number, "memo.old.~2~": the number, or 0 when `name` is no such
// backup of `backup`.
unsigned BackupNumber(std::string_view name, std::string_view backup);
std::string NumberedBackupName(std::string_view backup, unsigned number);

}  // namespace quobrel
