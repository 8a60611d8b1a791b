#include "files/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <new>
#include <string>

#include "files/file_errors.h"
#include "files/file_names.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Named temporary files are ".quobrel-<pid>-<n>.tmp", so that a later run can tell whose
// they were.
constexpr std::string_view kTemporaryPrefix = ".quobrel-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// The attribute in which a backup records the name of the file it backs up.
constexpr const char* kBackupRecord = "user.quobrel.backup-of";

// Flushes the folder's entries, so that a rename is on the disk. A folder the user may
// not list was opened only as a path and cannot be flushed (EBADF): that is let pass.
std::error_code FlushFolder(int folder) {
  if (::fsync(folder) == 0 || errno == EBADF) return {};
  return LastError();
}

// A name for a temporary file of this process: ".quobrel-<pid>-<n>.tmp".
std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  std::string name(kTemporaryPrefix);
  name.append(std::to_string(::getpid())).append("-").append(std::to_string(counter++));
  return name.append(kTemporarySuffix);
}

}  // namespace

// A file that becomes visible only when it is put in place, and is gone otherwise.
class TemporaryFile {
 public:
  explicit TemporaryFile(int folder) : folder_(folder) {
    fd_ = FileDescriptor(RetryOnInterrupt(
        [&] { return ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600); }));
    if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
      Lock();
      return;
    }
    // No unnamed files here: one named for this process, that nobody else may read.
    for (int attempt = 0; attempt < 100 && !fd_; ++attempt) {
      name_ = TemporaryName();
      fd_ = FileDescriptor(RetryOnInterrupt([&] {
        return ::openat(folder, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      }));
      if (!fd_ && errno != EEXIST) break;
    }
    if (!fd_) name_.clear();
    Lock();
  }
  // Another name, to be, for the file open at `existing`.
  TemporaryFile(int folder, int existing)
      : folder_(folder), fd_(::fcntl(existing, F_DUPFD_CLOEXEC, 0)) {}
  ~TemporaryFile() {
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_.get(); }
  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Locked as the file it replaces is, so that no other run takes it up while this one is
  // still busy with it; nobody else has it yet.
  void Lock() const {
    if (fd_) ::flock(fd_.get(), LOCK_EX | LOCK_NB);
  }

  // Gives an unnamed file its temporary name, the step before a rename.
  std::error_code Name() {
    if (!name_.empty()) return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = TemporaryName();
      if (Link(name)) {
        name_ = std::move(name);
        return {};
      }
      if (errno != EEXIST) break;
    }
    return LastError();
  }

  // Gives the file `name` in its folder, unless that exists; the name is the caller's then.
  bool Link(const std::string& name) const {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    // Through /proc; without it, by the descriptor itself (which needs privilege).
    return ::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
           (errno == ENOENT && ::linkat(fd_.get(), "", folder_, name.c_str(), AT_EMPTY_PATH) == 0);
  }
  const std::string& name() const { return name_; }
  // The name now holds something else, or nothing: it is not this object's to remove.
  void ForgetName() { name_.clear(); }

 private:
  int folder_;
  FileDescriptor fd_;
  std::string name_;
};

namespace {

bool IsUnsupportedOrForbidden(int error) {
  return error == ENOTSUP || error == EPERM || error == EACCES || error == ENODATA ||
         error == EINVAL;
}

// Every extended attribute of `from` that this process may read and set, ACLs included.
std::error_code CopyExtendedAttributes(int from, int to) {
  std::string names;
  for (;;) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return IsUnsupportedOrForbidden(errno) ? std::error_code() : LastError();
    names.resize(static_cast<std::size_t>(size));
    const ssize_t listed = ::flistxattr(from, names.data(), names.size());
    if (listed >= 0) {
      names.resize(static_cast<std::size_t>(listed));
      break;
    }
    if (errno != ERANGE) return LastError();  // ERANGE: the list grew meanwhile
  }
  constexpr std::string_view kAccessAcl = "system.posix_acl_access";
  bool hasAccessAcl = false;
  std::string value;
  for (std::size_t start = 0; start < names.size();) {
    const std::string name = names.c_str() + start;
    start += name.size() + 1;
    hasAccessAcl = hasAccessAcl || name == kAccessAcl;
    if (name == kBackupRecord) continue;  // a record says what its own file is
    const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
    if (size < 0) continue;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
    if (got < 0) continue;
    if (::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0 &&
        !IsUnsupportedOrForbidden(errno)) {
      return LastError();
    }
  }
  // A default ACL of the folder gave the new file an ACL that the original does not have.
  if (!hasAccessAcl) ::fremovexattr(to, kAccessAcl.data());
  return {};
}

// Owner and group, then attributes, then the mode: a change of owner clears some of them.
// A file never changes hands: where the owner or group cannot be kept, it is refused.
std::error_code KeepMetadata(const LockedFile& original, int to, bool withTimes) {
  const struct stat& status = original.status();
  struct stat now;
  if (::fstat(to, &now) != 0) return LastError();
  if ((now.st_uid != status.st_uid || now.st_gid != status.st_gid) &&
      ::fchown(to, status.st_uid, status.st_gid) != 0) {
    return FileError::OwnerNotKept;
  }
  const mode_t mode = status.st_mode & 07777;
  if (const std::error_code error = CopyExtendedAttributes(original.fd(), to)) return error;
  if (::fchmod(to, mode) != 0) return LastError();
  const struct timespec times[2] = {status.st_atim, status.st_mtim};
  if (withTimes && ::futimens(to, times) != 0) return LastError();
  return {};
}

// The whole of `from` into `to`, by the kernel where it can (sharing blocks where the
// file system allows).
std::error_code CopyContents(int from, int to) {
  loff_t offset = 0;
  for (;;) {
    const ssize_t copied = RetryOnInterrupt(
        [&] { return ::copy_file_range(from, &offset, to, nullptr, std::size_t{1} << 30, 0); });
    if (copied == 0) return {};
    if (copied > 0) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
      return LastError();
    break;  // not between these two files: copy by hand
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count =
        RetryOnInterrupt([&] { return ::pread(from, buffer, sizeof buffer, offset); });
    if (count < 0) return LastError();
    if (count == 0) return {};
    offset += count;
    if (const std::error_code error =
            WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(count))))
      return error;
  }
}

std::error_code Flush(int fd) { return ::fsync(fd) == 0 ? std::error_code() : LastError(); }

std::error_code SetRecord(int fd, const std::string& backsUp) {
  if (::fsetxattr(fd, kBackupRecord, backsUp.data(), backsUp.size(), 0) == 0 ||
      IsUnsupportedOrForbidden(errno)) {
    return {};  // a file system without attributes keeps backups unrecorded
  }
  return LastError();
}

std::optional<std::string> RecordOf(const std::string& path) {
  std::string value(256, '\0');
  const ssize_t size = ::getxattr(path.c_str(), kBackupRecord, value.data(), value.size());
  if (size < 0) return std::nullopt;
  value.resize(static_cast<std::size_t>(size));
  return value;
}

// The record of the file the folder holds under `name`, not through a link.
std::optional<std::string> RecordAt(int folder, const std::string& name) {
  const FileDescriptor file(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  if (!file) return std::nullopt;
  return RecordOf("/proc/self/fd/" + std::to_string(file.get()));
}

std::optional<std::string> RecordOf(int fd) {
  return RecordOf("/proc/self/fd/" + std::to_string(fd));
}

// Renames `from` to `to` unless `to` exists; where renames cannot refuse to replace, a link
// can. False, with errno, when it did not.
bool RenameNoReplace(int folder, const std::string& from, const std::string& to) {
  if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL || ::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return false;
  if (::unlinkat(folder, from.c_str(), 0) == 0) return true;
  const int error = errno;
  ::unlinkat(folder, to.c_str(), 0);
  errno = error;
  return false;
}

// The names in the folder, or none where it cannot be listed.
std::vector<std::string> NamesIn(int folder) {
  std::vector<std::string> names;
  const FileDescriptor listed(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  DIR* listing = listed ? ::fdopendir(::fcntl(listed.get(), F_DUPFD_CLOEXEC, 0)) : nullptr;
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) names.emplace_back(entry->d_name);
  ::closedir(listing);
  return names;
}

// Renames `from` to the number after the highest of `name`'s numbered backups
// ("memo.old.~3~"), never replacing anything; `aside` is the new name.
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

// Renames the temporary file over the target, unless the target is no longer what the run
// read: another program (one that takes no lock) has written or replaced it meanwhile.
std::error_code PutInPlace(int folder, const std::string& temporary, const std::string& target,
                           const LockedFile& current) {
  if (const std::error_code error = current.CheckUnchanged(folder, target, false)) return error;
  if (::renameat(folder, temporary.c_str(), folder, target.c_str()) != 0) return LastError();
  return {};
}

}  // namespace

// The backup, complete on disk under a temporary name until it is put in place.
struct PreparedBackup {
  int folder = -1;
  std::string name;
  std::string backsUp;
  std::optional<FileIdentity> earlier;
  bool keepEarlier = false;
  std::optional<TemporaryFile> file;
  bool isOriginal = false;  // the backup is the file itself, which the record marks
  bool marked = false;      // the record is on the original
  bool placed = false;      // the backup has its name
  bool exchanged = false;   // the temporary name now holds the earlier backup
  std::string held;         // without exchanges: a second name of the earlier backup
  std::string aside;        // the numbered name the earlier backup was set aside to

  ~PreparedBackup() {
    if (!held.empty()) ::unlinkat(folder, held.c_str(), 0);
  }

  std::error_code Prepare(const Backup& backup, int into) {
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

  // Puts the backup in place, keeping any earlier one under the temporary name until the
  // file itself is replaced, or under a number for good. On failure, undone.
  std::error_code Place() {
    const std::error_code error = PlaceOrFail();
    if (error) Undo();
    return error;
  }

  // Whether the backup name holds the backup this run made.
  bool InPlace() const {
    struct stat there, made;
    return ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(file->fd(), &made) == 0 && FileIdentity::Of(there) == FileIdentity::Of(made);
  }

  // The file could not be replaced: the earlier backup goes back, or the new one goes.
  void Undo() {
    if (exchanged) {
      if (::renameat2(folder, file->name().c_str(), folder, name.c_str(), RENAME_EXCHANGE) != 0) {
        file->ForgetName();  // the temporary name holds the earlier backup: it stays
      }
    } else if (placed && InPlace()) {
      ::unlinkat(folder, name.c_str(), 0);
      if (!held.empty() && ::renameat(folder, held.c_str(), folder, name.c_str()) == 0)
        held.clear();
    }
    if (!aside.empty()) RenameNoReplace(folder, aside, name);
    if (marked) ::fremovexattr(file->fd(), kBackupRecord);
    exchanged = placed = marked = false;
    aside.clear();
  }

 private:
  std::error_code PlaceOrFail() {
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
    if (::renameat2(folder, file->name().c_str(), folder, name.c_str(), RENAME_EXCHANGE) == 0) {
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
    if (::linkat(folder, name.c_str(), folder, second.c_str(), 0) != 0) return LastError();
    held = std::move(second);
    if (::renameat(folder, file->name().c_str(), folder, name.c_str()) != 0) return LastError();
    file->ForgetName();
    placed = true;
    return {};
  }
};

std::optional<EarlierBackup> LookAtBackup(const FolderEntry& backup) {
  EarlierBackup earlier;
  if (::fstatat(backup.at(), backup.name.c_str(), &earlier.status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  earlier.record = RecordAt(backup.at(), backup.name);
  return earlier;
}

SafeWrite::SafeWrite(const Replacement& replacement, const std::optional<Backup>& backup)
    : replacement_(replacement) {
  file_ = std::make_unique<TemporaryFile>(replacement_.target.at());
  if (!*file_) {
    error_ = LastError();
    return;
  }
  if (backup) {
    backup_ = std::make_unique<PreparedBackup>();
    // A copy worth the while is made meanwhile, on a thread of its own; a link, or a small
    // copy, when it is needed; and where no thread can be had, then too.
    constexpr off_t kWorthAThread = 1 << 20;
    auto prepare = [prepared = backup_.get(), backup = *backup, into = replacement_.target.at()] {
      return prepared->Prepare(backup, into);
    };
    try {
      if (backup->original.status().st_size >= kWorthAThread)
        backupPrepared_ = std::async(std::launch::async, prepare);
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    if (!backupPrepared_.valid()) backupPrepared_ = std::async(std::launch::deferred, prepare);
  }
}

SafeWrite::~SafeWrite() {
  // A copy under way uses what this holds.
  if (backupPrepared_.valid() &&
      backupPrepared_.wait_for(std::chrono::seconds(0)) != std::future_status::deferred) {
    backupPrepared_.wait();
  }
}

std::error_code SafeWrite::Write(std::string_view bytes) {
  if (const std::error_code error = WriteAll(file_->fd(), bytes)) return error;
  // Written back from now on, the flush at the end of a large file has little left to wait
  // for; a small one is flushed at once anyway.
  constexpr off_t kLarge = off_t{1} << 20;
  const off_t from = written_;
  written_ += static_cast<off_t>(bytes.size());
  if (written_ >= kLarge)
    ::sync_file_range(file_->fd(), from, static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
  return {};
}

std::error_code SafeWrite::Prepare() {
  if (error_) return error_;
  const int fd = file_->fd();
  if (replacement_.current) {
    if (const auto error = KeepMetadata(*replacement_.current, fd, false)) return error;
  } else {
    // The group the new file fell to is not given the permissions meant for another: it
    // gets what everyone gets.
    struct stat status;
    if (::fstat(fd, &status) != 0) return LastError();
    mode_t mode = replacement_.newFileMode;
    if (status.st_gid != replacement_.newFileGroup)
      mode = (mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3);
    if (::fchmod(fd, mode) != 0) return LastError();
  }
  if (const auto error = Flush(fd)) return error;
  if (backup_) {
    if (const auto error = backupPrepared_.get()) {
      backupFailed_ = true;
      return error;
    }
  }
  return {};
}

SafeWriteResult SafeWrite::Place() {
  SafeWriteResult result;
  auto fail = [&result](std::error_code error, bool inBackup = false) {
    result.error = error;
    result.inBackup = inBackup;
    return result;
  };
  TemporaryFile& file = *file_;
  const int folder = replacement_.target.at();
  const std::string& targetName = replacement_.target.name;
  // Known before any name changes, so that a failure here leaves everything as it was.
  const std::optional<FileIdentity> written = IdentityOf(file.fd());
  if (!written) return fail(LastError());
  if (!replacement_.current) {
    // A new file takes its name at once, and never one that appeared meanwhile.
    if (!file.Link(targetName)) {
      return fail(errno == EEXIST ? std::make_error_code(std::errc::device_or_resource_busy)
                                  : LastError());
    }
  } else {
    // Up to the backup's link and record, which change it, the file's change time tells
    // any change of another program's too.
    if (const auto error = replacement_.current->CheckUnchanged(folder, targetName, true))
      return fail(error);
    if (backup_) result.written.backup = IdentityOf(backup_->file->fd());
    if (const auto error = file.Name()) return fail(error);
    if (backup_) {
      if (const auto error = backup_->Place()) return fail(error, true);
    }
    // Nobody may have taken the backup's name from it meanwhile, or the file's last copy
    // of its contents would go with the rename.
    std::error_code error;
    if (backup_ && !backup_->InPlace()) error = FileError::BackupWrittenMeanwhile;
    if (!error) error = PutInPlace(folder, file.name(), targetName, *replacement_.current);
    if (error) {
      if (backup_) backup_->Undo();
      return fail(error);
    }
    file.ForgetName();
  }
  result.written.file = *written;
  return result;
}

FileIdentity SafeWrite::Folder() const {
  return IdentityOf(replacement_.target.at()).value_or(FileIdentity{});
}

SafeWriteResult SafeWrite::FlushFolders() {
  if (const std::error_code error = FlushFolder(replacement_.target.at()))
    return {error, false, {}};
  return {};
}

SafeWriteResult SafeWrite::Commit() {
  if (const std::error_code error = Prepare()) return {error, backupFailed_, {}};
  SafeWriteResult placed = Place();
  if (placed.error) return placed;
  const SafeWriteResult flushed = FlushFolders();
  if (flushed.error) return flushed;
  return placed;
}

SafeWriteResult WriteSafely(const Replacement& replacement,
                            std::initializer_list<std::string_view> contents,
                            const std::optional<Backup>& backup) {
  SafeWrite write(replacement, backup);
  if (write.error()) return {write.error(), false, {}};
  for (std::string_view part : contents) {
    if (const auto error = write.Write(part)) return {error, false, {}};
  }
  return write.Commit();
}

std::error_code CheckReplaceable(const FolderEntry& target, const LockedFile* current) {
  if (::faccessat(target.at(), ".", W_OK | X_OK, AT_EACCESS) != 0) return LastError();
  if (!current) return {};
  const struct stat& status = current->status();
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
      ::faccessat(target.at(), target.name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
    return std::make_error_code(std::errc::permission_denied);
  }
  // Only root gives a file away; others keep a file their own, in a group of theirs.
  if (::geteuid() != 0) {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(
        std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    const bool inGroup = status.st_gid == ::getegid() ||
                         std::find(groups.begin(), groups.end(), status.st_gid) != groups.end();
    if (status.st_uid != ::geteuid() || !inGroup) return FileError::OwnerNotKept;
  }
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
  const FileDescriptor file(
      ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
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
      ::unlinkat(folder, leftover.c_str(), 0);
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
      ::unlinkat(folder, leftover.c_str(), 0);
      continue;
    }
    if (fileThere && ::fstatat(folder, backup.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        FileIdentity::Of(there) == FileIdentity::Of(file) &&
        ::renameat(folder, leftover.c_str(), folder, backup.c_str()) == 0) {
      putBack.push_back(FileIdentity::Of(kept));
      if (const FileDescriptor marked{
              ::openat(folder, record->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)})
        ::fremovexattr(marked.get(), kBackupRecord);
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

bool IsHalfMadeBackup(const FolderEntry& backup, const LockedFile& file,
                      const std::string& backsUp) {
  return IdentityAt(backup) == file.identity() && RecordOf(file.fd()) == backsUp;
}

bool DropHalfMadeBackup(const FolderEntry& backup, LockedFile& file) {
  if (::unlinkat(backup.at(), backup.name.c_str(), 0) != 0) return false;
  ::fremovexattr(file.fd(), kBackupRecord);
  file.TakeOwnChanges();
  return true;
}

}  // namespace quobrel
