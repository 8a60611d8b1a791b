#include "files/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "files/file_errors.h"
#include "files/system_calls.h"

namespace quobrel {

LockedFile::Opening LockedFile::Open(const FolderEntry& entry, Lock lock) {
  using enum Refusal;
  // A run that held the lock may have replaced the file under its name meanwhile: then the
  // new file is the one to take. A few tries settle any ordinary race.
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat named;
    if (::fstatat(entry.at(), entry.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
      return {std::nullopt, errno == ENOENT || errno == ENOTDIR ? NotFound : CannotOpen,
              LastError()};
    }
    if (!S_ISREG(named.st_mode)) return {std::nullopt, NotRegular, {}};
    FileDescriptor fd(RetryOnInterrupt([&] {
      return Sys().openat(entry.at(), entry.name.c_str(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0);
    }));
    if (!fd) {
      if (errno == ELOOP) return {std::nullopt, NotRegular, {}};  // swapped for a link
      return {std::nullopt, errno == ENOENT ? NotFound : CannotOpen, LastError()};
    }
    struct stat status;
    if (::fstat(fd.get(), &status) != 0) return {std::nullopt, CannotOpen, LastError()};
    if (!S_ISREG(status.st_mode)) return {std::nullopt, NotRegular, {}};
    if (RetryOnInterrupt([&] {
          return ::flock(fd.get(), (lock == Lock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
        }) != 0) {
      return {std::nullopt, errno == EWOULDBLOCK ? InUse : CannotOpen, LastError()};
    }
    if (::fstatat(entry.at(), entry.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        FileIdentity::Of(named) == FileIdentity::Of(status)) {
      return {LockedFile(std::move(fd), status), None, {}};
    }
  }
  return {std::nullopt, InUse, {}};
}

std::error_code LockedFile::CheckUnchanged(int folder, const std::string& name,
                                           bool changeTime) const {
  auto same = [&](const struct stat& now) {
    auto equal = [](const timespec& a, const timespec& b) {
      return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return FileIdentity::Of(now) == identity() && now.st_size == status_.st_size &&
           equal(now.st_mtim, status_.st_mtim) &&
           (!changeTime || equal(now.st_ctim, status_.st_ctim));
  };
  struct stat opened, named;
  if (::fstat(fd(), &opened) != 0) return LastError();
  if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !same(opened) ||
      !same(named)) {
    return FileError::ChangedMeanwhile;
  }
  return {};
}

}  // namespace quobrel
