#include "internal/backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>

#include "files/file_names.h"
#include "files/system_calls.h"
#include "internal/kept_metadata.h"
#include "internal/placement.h"

namespace quobrel {
namespace {

std::optional<std::string> RecordOf(const std::string& path) {
  std::string value(256, '\0');
  const ssize_t size = ::getxattr(path.c_str(), kBackupRecord, value.data(), value.size());
  if (size < 0) return std::nullopt;
  value.resize(static_cast<std::size_t>(size));
  return value;
}

std::optional<std::string> RecordOf(int fd) {
  return RecordOf("/proc/self/fd/" + std::to_string(fd));
}

// The whole of `from` into `to`, by the kernel where it can (sharing blocks where the
// file system allows).
std::error_code CopyContents(int from, int to) {
  loff_t offset = 0;
  for (;;) {
    const ssize_t copied = RetryOnInterrupt(
        [&] { return Sys().copyFileRange(from, &offset, to, nullptr, std::size_t{1} << 30, 0); });
    if (copied == 0) return {};
    if (copied > 0) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
      return LastError();
    break;  // not between these two files: copy by hand
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count =
        RetryOnInterrupt([&] { return Sys().pread(from, buffer, sizeof buffer, offset); });
    if (count < 0) return LastError();
    if (count == 0) return {};
    offset += count;
    if (const std::error_code error =
            WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(count))))
      return error;
  }
}

}  // namespace

std::error_code SetRecord(int fd, const std::string& backsUp) {
  if (Sys().fsetxattr(fd, kBackupRecord, backsUp.data(), backsUp.size(), 0) == 0 ||
      IsUnsupportedOrForbidden(errno)) {
    return {};  // a file system without attributes keeps backups unrecorded
  }
  return LastError();
}

std::optional<std::string> RecordAt(int folder, const std::string& name) {
  const FileDescriptor file(Sys().openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC, 0));
  if (!file) return std::nullopt;
  return RecordOf("/proc/self/fd/" + std::to_string(file.get()));
}

std::error_code SetAsideNumbered(int folder, const std::string& from, const std::string& name,
                                 std::string& aside) {
  unsigned highest = 0;
  for (const std::string& other : NamesIn(folder))
    highest = std::max(highest, BackupNumber(other, name));
  for (unsigned number = highest + 1; number < highest + 1000; ++number) {
    aside = NumberedBackupName(name, number);
    if (RenameNoReplace(folder, from, aside)) return {};
    if (errno != EEXIST) break;
  }
  const std::error_code error = LastError();
  aside.clear();
  return error;
}

std::error_code PreparedBackup::Prepare(const Backup& backup, int into) {
  folder = into;
  name = backup.name;
  backsUp = backup.backsUp;
  earlier = backup.earlier;
  keepEarlier = backup.keepEarlier;
  // A file with no other name becomes the backup itself: nothing to copy, and all of its
  // metadata stays. Not so for a file whose other names would then share the backup.
  // Linking another user's file may be refused (protected hard links).
  const struct stat& original = backup.original.status();
  const bool mayLink = original.st_uid == ::geteuid() || ::geteuid() == 0;
  if (mayLink && original.st_nlink == 1) {
    // Its contents are as durable as they were; the new name is flushed with its folder.
    file.emplace(folder, backup.original.fd());
    isOriginal = true;
    return *file ? std::error_code() : LastError();
  }
  file.emplace(folder);
  if (!*file) return LastError();
  if (const auto error = CopyContents(backup.original.fd(), file->fd())) return error;
  if (const auto error = KeepMetadata(backup.original, file->fd(), true)) return error;
  if (const auto error = SetRecord(file->fd(), backsUp)) return error;
  return Flush(file->fd());
}

std::optional<EarlierBackup> LookAtBackup(const FolderEntry& backup) {
  EarlierBackup earlier;
  if (::fstatat(backup.at(), backup.name.c_str(), &earlier.status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  earlier.record = RecordAt(backup.at(), backup.name);
  return earlier;
}

bool IsHalfMadeBackup(const FolderEntry& backup, const LockedFile& file,
                      const std::string& backsUp) {
  return IdentityAt(backup) == file.identity() && RecordOf(file.fd()) == backsUp;
}

bool DropHalfMadeBackup(const FolderEntry& backup, LockedFile& file) {
  if (Sys().unlinkat(backup.at(), backup.name.c_str(), 0) != 0) return false;
  Sys().fremovexattr(file.fd(), kBackupRecord);
  file.TakeOwnChanges();
  return true;
}

}  // namespace quobrel
