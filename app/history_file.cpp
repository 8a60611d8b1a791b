#include "app/history_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "batch/locked_file.h"
#include "batch/safe_write.h"
#include "batch/text_codec.h"
#include "batch/text_lines.h"

namespace quobrel {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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
  const LockedFile::Opening opening =
      LockedFile::Open(QFile::encodeName(path).toStdString(), LockedFile::Lock::Shared);
  if (opening.refusal == LockedFile::Refusal::NotFound) return {};
  std::string bytes;
  if (!opening.file || ReadAll(opening.file->fd(), bytes)) return {{}, true};
  std::string_view content = bytes;
  TextEncoding encoding = TextEncoding::Cp932;
  if (content.starts_with(kUtf8ByteOrderMark)) {
    content.remove_prefix(kUtf8ByteOrderMark.size());
    encoding = TextEncoding::Utf8;
  }
  const DecodedText decoded = Decode(content, encoding);
  if (decoded.invalidByteAt) return {{}, true};
  return {ParseHistory(decoded.text), false};
}

bool SaveHistory(const QString& path, const HistoryLists& lists, bool keepUnreadable) {
  const std::u16string text = FormatHistory(lists);
  EncodedText encoded = Encode(text, TextEncoding::Cp932);
  if (encoded.unencodableAt) {
    encoded = Encode(text, TextEncoding::Utf8);
    encoded.bytes.insert(0, kUtf8ByteOrderMark);
  }
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  // A history linked from elsewhere (a folder of dotfiles) stays a link.
  const std::filesystem::path file = ThroughLinks(QFile::encodeName(path).toStdString());
  // A file that could not be read may still be worth something to its owner: it is kept
  // under a name of its own, never over an earlier one.
  if (keepUnreadable && QFileInfo::exists(path) && !SetAside(file, ".unreadable")) return false;
  LockedFile::Opening current = LockedFile::Open(file);
  if (!current.file && current.refusal != LockedFile::Refusal::NotFound) return false;
  return !WriteSafely({file, current.file ? &*current.file : nullptr, 0600}, {encoded.bytes}).error;
}

}  // namespace quobrel
