#include "batch/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <string>

#include "batch/file_names.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Named temporary files are ".quobrel-<pid>-<n>.tmp", so that a later run can tell whose
// they were.
constexpr std::string_view kTemporaryPrefix = ".quobrel-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// A folder held open, to create, link and rename files in it by name and to flush it.
FileDescriptor OpenFolder(const fs::path& folder) {
  FileDescriptor fd(
      RetryOnInterrupt([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
  if (!fd && errno == EACCES) {
    // A folder the user may write but not list: it can still be written in, not flushed.
    fd = FileDescriptor(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
  return fd;
}

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
    if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return;
    // No unnamed files here: one named for this process, that nobody else may read.
    for (int attempt = 0; attempt < 100 && !fd_; ++attempt) {
      name_ = TemporaryName();
      fd_ = FileDescriptor(RetryOnInterrupt([&] {
        return ::openat(folder, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      }));
      if (!fd_ && errno != EEXIST) break;
    }
    if (!fd_) name_.clear();
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

// Owner and group where this process may set them, then attributes, then the mode: a
// change of owner clears some of them. Set-user-ID and set-group-ID are dropped with an
// owner or group that could not be kept.
std::error_code KeepMetadata(const LockedFile& original, int to, bool withTimes) {
  const struct stat& status = original.status();
  if (::fchown(to, status.st_uid, status.st_gid) != 0) (void)::fchown(to, -1, status.st_gid);
  struct stat now;
  if (::fstat(to, &now) != 0) return LastError();
  mode_t mode = status.st_mode & 07777;
  if (now.st_uid != status.st_uid) mode &= ~S_ISUID;
  // The group's permissions were given to another group: the new one gets none.
  if (now.st_gid != status.st_gid) mode &= ~(S_ISGID | S_IRWXG);
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

std::optional<FileIdentity> IdentityOf(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0) return std::nullopt;
  return FileIdentity::Of(status);
}

// Renames the temporary file over the target, unless the target is no longer what it was
// when the run looked: another program (one that takes no lock) has written it meanwhile.
std::error_code PutInPlace(int folder, const std::string& temporary, const std::string& target,
                           const LockedFile& current) {
  struct stat now;
  if (::fstatat(folder, target.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
      FileIdentity::Of(now) != current.identity()) {
    return std::make_error_code(std::errc::device_or_resource_busy);
  }
  if (::renameat(folder, temporary.c_str(), folder, target.c_str()) != 0) return LastError();
  return {};
}

}  // namespace

// The backup copy, complete on disk under a temporary name until it is put in place.
struct PreparedBackup {
  FileDescriptor folder;
  std::string name;
  std::optional<TemporaryFile> file;
  bool exchanged = false;  // the temporary name now holds the earlier backup
  std::string held;        // without exchanges: a second name of the earlier backup

  ~PreparedBackup() {
    if (!held.empty()) ::unlinkat(folder.get(), held.c_str(), 0);
  }

  std::error_code Prepare(const Backup& backup) {
    folder = OpenFolder(FolderOf(backup.path));
    if (!folder) return LastError();
    name = backup.path.filename();
    struct stat earlier;
    if (::fstatat(folder.get(), name.c_str(), &earlier, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(earlier.st_mode)) {
      return std::make_error_code(std::errc::is_a_directory);
    }
    // A file with no other name becomes the backup itself: nothing to copy, and all of its
    // metadata stays. Not so across file systems, where links are refused, or for a file
    // whose other names would then share the backup.
    // Linking another user's file may be refused (protected hard links).
    const struct stat& original = backup.original.status();
    const bool mayLink = original.st_uid == ::geteuid() || ::geteuid() == 0;
    struct stat folderStatus;
    if (mayLink && original.st_nlink == 1 && ::fstat(folder.get(), &folderStatus) == 0 &&
        folderStatus.st_dev == original.st_dev) {
      // Its contents are as durable as they were; the new name is flushed with its folder.
      file.emplace(folder.get(), backup.original.fd());
      return *file ? std::error_code() : LastError();
    }
    file.emplace(folder.get());
    if (!*file) return LastError();
    if (const auto error = CopyContents(backup.original.fd(), file->fd())) return error;
    if (const auto error = KeepMetadata(backup.original, file->fd(), true)) return error;
    return Flush(file->fd());
  }

  // Puts the copy in place, keeping any earlier backup under the temporary name until
  // the file itself is replaced.
  std::error_code Place() {
    // Named only now, so that a process killed before leaves no name behind; without an
    // earlier backup, by the backup's own name at once.
    if (file->Link(name)) return {};
    if (errno != EEXIST) return LastError();
    if (const std::error_code error = file->Name()) return error;
    if (::renameat2(folder.get(), file->name().c_str(), folder.get(), name.c_str(),
                    RENAME_EXCHANGE) == 0) {
      exchanged = true;
      return {};
    }
    if (errno != ENOENT && errno != EINVAL) return LastError();
    // A file system without exchanges: the earlier backup keeps a second name meanwhile.
    if (errno == EINVAL) {
      std::string second = TemporaryName();
      if (::linkat(folder.get(), name.c_str(), folder.get(), second.c_str(), 0) == 0)
        held = std::move(second);
    }
    if (::renameat(folder.get(), file->name().c_str(), folder.get(), name.c_str()) != 0)
      return LastError();
    file->ForgetName();
    return {};
  }

  // The file could not be replaced: the earlier backup goes back, or the new one goes.
  void Undo() {
    if (exchanged) {
      if (::renameat2(folder.get(), file->name().c_str(), folder.get(), name.c_str(),
                      RENAME_EXCHANGE) != 0) {
        file->ForgetName();  // the temporary name holds the earlier backup: it stays
      }
    } else if (!held.empty()) {
      if (::renameat(folder.get(), held.c_str(), folder.get(), name.c_str()) == 0) held.clear();
    } else {
      ::unlinkat(folder.get(), name.c_str(), 0);
    }
  }
};

fs::path ThroughLinks(const fs::path& path) {
  fs::path name = path;
  // Link by link, so that a link to a file not made yet leads to where it will be.
  for (int depth = 0; depth < 40; ++depth) {  // the kernel's own limit on a chain of links
    std::error_code error;
    if (!fs::is_symlink(name, error)) return name;
    const fs::path target = fs::read_symlink(name, error);
    if (error) return name;
    name = target.is_absolute() ? target : name.parent_path() / target;
  }
  return name;
}

SafeWrite::SafeWrite(const Replacement& replacement, const std::optional<Backup>& backup)
    : replacement_(replacement), folder_(OpenFolder(FolderOf(replacement.target))) {
  if (!folder_) {
    error_ = LastError();
    return;
  }
  file_ = std::make_unique<TemporaryFile>(folder_.get());
  if (!*file_) {
    error_ = LastError();
    return;
  }
  if (backup) {
    backup_ = std::make_unique<PreparedBackup>();
    // A copy worth the while is made meanwhile, on a thread of its own; a link, or a small
    // copy, when it is needed.
    constexpr off_t kWorthAThread = 1 << 20;
    const auto policy = backup->original.status().st_size >= kWorthAThread ? std::launch::async
                                                                           : std::launch::deferred;
    backupPrepared_ = std::async(
        policy, [prepared = backup_.get(), backup = *backup] { return prepared->Prepare(backup); });
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
  const std::error_code kept =
      replacement_.current
          ? KeepMetadata(*replacement_.current, fd, false)
          : (::fchmod(fd, replacement_.newFileMode) == 0 ? std::error_code() : LastError());
  if (kept) return kept;
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
  // Known before any name changes, so that a failure here leaves everything as it was.
  const std::optional<FileIdentity> written = IdentityOf(file.fd());
  if (!written) return fail(LastError());
  const std::string targetName = replacement_.target.filename();
  if (!replacement_.current) {
    // A new file takes its name at once, and never one that appeared meanwhile.
    if (!file.Link(targetName)) {
      return fail(errno == EEXIST ? std::make_error_code(std::errc::device_or_resource_busy)
                                  : LastError());
    }
  } else {
    if (backup_) result.written.backup = IdentityOf(backup_->file->fd());
    if (const auto error = file.Name()) return fail(error);
    if (backup_) {
      if (const auto error = backup_->Place()) return fail(error, true);
    }
    if (const auto error =
            PutInPlace(folder_.get(), file.name(), targetName, *replacement_.current)) {
      if (backup_) backup_->Undo();
      return fail(error);
    }
    file.ForgetName();
  }
  result.written.file = *written;
  return result;
}

std::vector<FileIdentity> SafeWrite::Folders() const {
  std::vector<FileIdentity> folders;
  for (const int folder : {folder_.get(), backup_ ? backup_->folder.get() : -1}) {
    const std::optional<FileIdentity> identity = folder < 0 ? std::nullopt : IdentityOf(folder);
    if (identity && std::find(folders.begin(), folders.end(), *identity) == folders.end())
      folders.push_back(*identity);
  }
  return folders;
}

SafeWriteResult SafeWrite::FlushFolders() {
  if (const std::error_code error = FlushFolder(folder_.get())) return {error, false, {}};
  // Mostly the backup is beside the file: its folder is flushed already.
  if (backup_ && IdentityOf(backup_->folder.get()) != IdentityOf(folder_.get())) {
    if (const std::error_code error = FlushFolder(backup_->folder.get())) return {error, true, {}};
  }
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

std::error_code CheckReplaceable(const fs::path& target, const LockedFile* current) {
  if (::faccessat(AT_FDCWD, FolderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return LastError();
  if (!current) return {};
  if ((current->status().st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return std::make_error_code(std::errc::permission_denied);
  }
  return {};
}

std::optional<fs::path> SetAside(const fs::path& path, std::string_view suffix) {
  for (int number = 1; number < 1000; ++number) {
    std::string aside = path.native();
    aside.append(suffix);
    if (number > 1) aside.append(".").append(std::to_string(number));
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
      return aside;
    // Where renames cannot refuse to replace, a link can.
    if (errno == EINVAL && ::link(path.c_str(), aside.c_str()) == 0) {
      if (::unlink(path.c_str()) == 0) return aside;
      ::unlink(aside.c_str());
      return std::nullopt;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

void RemoveLeftovers(const fs::path& folder) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  const uid_t self = ::geteuid();
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) continue;
    const std::string_view digits = name.substr(kTemporaryPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc() || *end != '-' || pid <= 0) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // its process still runs
    struct stat status;
    if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode) && status.st_uid == self) {
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

}  // namespace quobrel
