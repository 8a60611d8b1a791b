#include "app/history_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "encoding/text_codec.h"
#include "encoding/text_lines.h"
#include "files/locked_file.h"
#include "files/safe_write.h"

namespace quobrel {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The history file itself, through a link only to a file of the link's own user.
EntryOpening HistoryEntry(const QString& path) {
  EntryOpening named = EntryOf(QFile::encodeName(path).toStdString());
  return named.entry ? FollowLinks(std::move(*named.entry)) : named;
}

// Whether the history may be written where it is: through a link of the user's own to a
// file of the user's own (a folder of dotfiles), in a folder of the user's own or root's
// that nobody else may write in (or one with the sticky bit), and not over a file made
// read-only. Another user's folder is theirs to write in, sticky bit or not.
bool MayRewrite(const QString& path, const FolderEntry& file) {
  const uid_t self = ::geteuid();
  struct stat named, folder, existing;
  if (::lstat(QFile::encodeName(path).constData(), &named) == 0 && S_ISLNK(named.st_mode) &&
      named.st_uid != self) {
    return false;
  }
  if (::fstat(file.at(), &folder) != 0 || (folder.st_uid != self && folder.st_uid != 0))
    return false;
  if ((folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0) return false;
  if (::fstatat(file.at(), file.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT;
  return existing.st_uid == self && (existing.st_mode & S_IWUSR) != 0;
}

}  // namespace

HistoryLists ParseHistory(std::u16string_view text) {
  HistoryLists lists;
  enum { Before, Searches, Replacements } section = Before;
  for (std::u16string_view line : SplitLines(text)) {
    if (section == Replacements) lists.replacements.emplace_back(line);
    if (line == kReplacementsHeading && section == Searches) section = Replacements;
    if (section == Searches) lists.searches.emplace_back(line);
    if (line == kSearchesHeading && section == Before) section = Searches;
  }
  return lists;
}

std::u16string FormatHistory(const HistoryLists& lists) {
  std::u16string text;
  auto line = [&text](std::u16string_view content) { text.append(content).append(u"\r\n"); };
  line(kSearchesHeading);
  for (const std::u16string& item : lists.searches) line(item);
  line(kReplacementsHeading);
  for (const std::u16string& item : lists.replacements) line(item);
  return text;
}

QString HistoryPath() {
  const QString windir = qEnvironmentVariable("windir");
  if (!windir.isEmpty()) return QDir(windir).filePath("Quobrel.Ini");
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath("quobrel/Quobrel.Ini");
}

LoadedHistory LoadHistory(const QString& path) {
  // Shared: another window may read it at the same time. A FIFO or device is no history
  // and is never waited on.
  const EntryOpening file = HistoryEntry(path);
  if (!file.entry) return {{}, file.error != std::errc::no_such_file_or_directory};
  const LockedFile::Opening opening = LockedFile::Open(*file.entry, LockedFile::Lock::Shared);
  if (opening.refusal == LockedFile::Refusal::NotFound) return {};
  std::string bytes;
  if (!opening.file || ReadAll(opening.file->fd(), bytes)) return {{}, true};
  std::string_view content = bytes;
  TextEncoding encoding = TextEncoding::Cp932;
  if (content.starts_with(kUtf8ByteOrderMark)) {
    content.remove_prefix(kUtf8ByteOrderMark.size());
    encoding = TextEncoding::Utf8;
  }
  const auto decoded = Decode(content, encoding);
  if (!decoded) return {{}, true};
  return {ParseHistory(*decoded), false};
}

bool SaveHistory(const QString& path, const HistoryLists& lists, bool keepUnreadable) {
  const std::u16string text = FormatHistory(lists);
  // In code page 932 where it can hold every character, as the history always was.
  auto cp932 = Encode(text, TextEncoding::Cp932);
  std::string encoded;
  if (cp932) {
    encoded = *std::move(cp932);
  } else {
    const auto utf8 = Encode(text, TextEncoding::Utf8);
    if (!utf8) return false;  // a lone surrogate, which no encoding holds
    encoded = std::string(kUtf8ByteOrderMark) + *utf8;
  }
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  // A history linked from elsewhere (a folder of dotfiles) stays a link.
  const EntryOpening file = HistoryEntry(path);
  if (!file.entry || !MayRewrite(path, *file.entry)) return false;
  // A file that could not be read may still be worth something to its owner: it is kept
  // under a name of its own, never over an earlier one.
  if (keepUnreadable && IdentityAt(*file.entry) && !SetAside(*file.entry, ".unreadable"))
    return false;
  LockedFile::Opening current = LockedFile::Open(*file.entry);
  if (!current.file && current.refusal != LockedFile::Refusal::NotFound) return false;
  const gid_t group = ::getegid();
  return WriteSafely({*file.entry, current.file ? &*current.file : nullptr, 0600, group}, {encoded})
      .ok();
}

}  // namespace quobrel
