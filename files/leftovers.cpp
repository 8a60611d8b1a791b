// What runs of this program left in a folder when their process died.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <charconv>

#include "files/file_names.h"
#include "files/safe_write.h"
#include "files/system_calls.h"
#include "internal/backup.h"
#include "internal/placement.h"
#include "internal/temporary_file.h"

namespace quobrel {
namespace {

// The process a temporary name says made it, if it is gone: seen from this process, which
// may not see every process (another PID namespace, another host); the locks tell those.
bool MadeByADeadProcess(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  const std::string_view digits = name.substr(kTemporaryPrefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (error != std::errc() || *end != '-' || pid <= 0) return false;
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Whether a run holds the file under `name`: it locks what it works on, and what it writes.
bool InHand(int folder, const std::string& name) {
  const FileDescriptor file(Sys().openat(
      folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
  if (!file) return errno != ENOENT;
  return ::flock(file.get(), LOCK_SH | LOCK_NB) != 0;
}

// A record that names a file of the same folder, whose backup name is another.
bool IsRecordOfAFile(const std::optional<std::string>& record) {
  return record && !record->empty() && *record != "." && *record != ".." &&
         record->find('/') == std::string::npos && BackupName(*record) != *record;
}

}  // namespace

std::vector<FileIdentity> RecoverLeftovers(int folder) {
  std::vector<FileIdentity> putBack;
  const uid_t self = ::geteuid();
  for (const std::string& leftover : NamesIn(folder)) {
    struct stat kept;
    if (!MadeByADeadProcess(leftover) ||
        ::fstatat(folder, leftover.c_str(), &kept, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(kept.st_mode) || kept.st_uid != self || InHand(folder, leftover)) {
      continue;
    }
    const std::optional<std::string> record = RecordAt(folder, leftover);
    if (!IsRecordOfAFile(record)) {
      Sys().unlinkat(folder, leftover.c_str(), 0);
      continue;
    }
    // A recorded leftover was the earlier backup of a file, taken out of the way of the one
    // the dead run was making: back it goes, over a half-made backup that is still the file
    // itself, or beside a whole one under a number. One that is the file itself is a
    // second name of it, made for a backup, and goes.
    const std::string backup = BackupName(*record);
    struct stat file, there;
    const bool fileThere = ::fstatat(folder, record->c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0;
    if (fileThere && InHand(folder, *record)) continue;  // a run is at work on it
    if (fileThere && FileIdentity::Of(file) == FileIdentity::Of(kept)) {
      Sys().unlinkat(folder, leftover.c_str(), 0);
      continue;
    }
    if (fileThere && ::fstatat(folder, backup.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        FileIdentity::Of(there) == FileIdentity::Of(file) &&
        Sys().renameat(folder, leftover.c_str(), folder, backup.c_str()) == 0) {
      putBack.push_back(FileIdentity::Of(kept));
      if (const FileDescriptor marked{Sys().openat(
              folder, record->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0)})
        Sys().fremovexattr(marked.get(), kBackupRecord);
      continue;
    }
    if (RenameNoReplace(folder, leftover, backup)) {
      putBack.push_back(FileIdentity::Of(kept));
    } else if (errno == EEXIST) {
      std::string aside;
      (void)SetAsideNumbered(folder, leftover, backup, aside);
    }
  }
  return putBack;
}

}  // namespace quobrel
