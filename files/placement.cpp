#include "internal/placement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "files/file_errors.h"
#include "files/system_calls.h"
#include "internal/backup.h"

namespace quobrel {

std::error_code FlushFolder(int folder) {
  // A folder the user may not list was opened only as a path and cannot be flushed (EBADF):
  // that is let pass.
  if (Sys().fsync(folder) == 0 || errno == EBADF) return {};
  return LastError();
}

bool RenameNoReplace(int folder, const std::string& from, const std::string& to) {
  if (Sys().renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL || Sys().linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0)
    return false;
  if (Sys().unlinkat(folder, from.c_str(), 0) == 0) return true;
  const int error = errno;
  Sys().unlinkat(folder, to.c_str(), 0);
  errno = error;
  return false;
}

std::vector<std::string> NamesIn(int folder) {
  std::vector<std::string> names;
  const FileDescriptor listed(Sys().openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  DIR* listing = listed ? ::fdopendir(::fcntl(listed.get(), F_DUPFD_CLOEXEC, 0)) : nullptr;
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) names.emplace_back(entry->d_name);
  ::closedir(listing);
  return names;
}

std::error_code PutInPlace(int folder, const std::string& temporary, const std::string& target,
                           const LockedFile& current) {
  if (const std::error_code error = current.CheckUnchanged(folder, target, false)) return error;
  if (Sys().renameat(folder, temporary.c_str(), folder, target.c_str()) != 0) return LastError();
  return {};
}

// The backup takes its name: linked there where the name is free, else exchanged with the
// earlier backup, which keeps the temporary name until the file itself is replaced.

PreparedBackup::~PreparedBackup() {
  if (!held.empty()) Sys().unlinkat(folder, held.c_str(), 0);
}

std::error_code PreparedBackup::Place() {
  const std::error_code error = PlaceOrFail();
  if (error) Undo();
  return error;
}

bool PreparedBackup::InPlace() const {
  struct stat there, made;
  return ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(file->fd(), &made) == 0 && FileIdentity::Of(there) == FileIdentity::Of(made);
}

void PreparedBackup::Undo() {
  if (exchanged) {
    if (Sys().renameat2(folder, file->name().c_str(), folder, name.c_str(), RENAME_EXCHANGE) != 0) {
      file->ForgetName();  // the temporary name holds the earlier backup: it stays
    }
  } else if (placed && InPlace()) {
    Sys().unlinkat(folder, name.c_str(), 0);
    if (!held.empty() && Sys().renameat(folder, held.c_str(), folder, name.c_str()) == 0)
      held.clear();
  }
  if (!aside.empty()) (void)RenameNoReplace(folder, aside, name);
  if (marked) Sys().fremovexattr(file->fd(), kBackupRecord);
  exchanged = placed = marked = false;
  aside.clear();
}

std::error_code PreparedBackup::PlaceOrFail() {
  struct stat there;
  const bool taken = ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0;
  // Another run may have made a backup since this one looked.
  if (taken != earlier.has_value() || (taken && FileIdentity::Of(there) != *earlier))
    return FileError::BackupWrittenMeanwhile;
  if (isOriginal) {
    if (const auto error = SetRecord(file->fd(), backsUp)) return error;
    marked = true;
  }
  if (taken && keepEarlier) {
    if (const auto error = SetAsideNumbered(folder, name, name, aside)) return error;
  }
  // Named only now, so that a process killed before leaves no name behind; without an
  // earlier backup, by the backup's own name at once.
  if (file->Link(name)) {
    placed = true;
    return {};
  }
  // A name that was free has been taken meanwhile: another run's backup, not to be touched.
  if (errno != EEXIST || !taken || !aside.empty()) {
    return errno == EEXIST ? make_error_code(FileError::BackupWrittenMeanwhile) : LastError();
  }
  if (const std::error_code error = file->Name()) return error;
  if (Sys().renameat2(folder, file->name().c_str(), folder, name.c_str(), RENAME_EXCHANGE) == 0) {
    exchanged = true;
    // What was swapped out must be the earlier backup the run looked at, nothing newer.
    struct stat swapped;
    if (::fstatat(folder, file->name().c_str(), &swapped, AT_SYMLINK_NOFOLLOW) != 0 ||
        FileIdentity::Of(swapped) != *earlier) {
      return FileError::BackupWrittenMeanwhile;
    }
    return {};
  }
  if (errno != EINVAL) return LastError();
  // A file system without exchanges: the earlier backup keeps a second name meanwhile.
  std::string second = TemporaryName();
  if (Sys().linkat(folder, name.c_str(), folder, second.c_str(), 0) != 0) return LastError();
  held = std::move(second);
  if (Sys().renameat(folder, file->name().c_str(), folder, name.c_str()) != 0) return LastError();
  file->ForgetName();
  placed = true;
  return {};
}

std::optional<std::string> SetAside(const FolderEntry& entry, std::string_view suffix) {
  for (int number = 1; number < 1000; ++number) {
    std::string aside = entry.name;
    aside.append(suffix);
    if (number > 1) aside.append(".").append(std::to_string(number));
    if (RenameNoReplace(entry.at(), entry.name, aside)) return aside;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quobrel
