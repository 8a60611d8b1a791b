#include "batch/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quobrel {

LockedFile::Opening LockedFile::Open(const std::filesystem::path& path, Lock lock) {
  using enum Refusal;
  // A run that held the lock may have replaced the file under its name meanwhile: then the
  // new file is the one to take. A few tries settle any ordinary race.
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat named;
    if (::stat(path.c_str(), &named) != 0) {
      return {std::nullopt, errno == ENOENT || errno == ENOTDIR ? NotFound : CannotOpen,
              LastError()};
    }
    if (!S_ISREG(named.st_mode)) return {std::nullopt, NotRegular, {}};
    FileDescriptor fd(RetryOnInterrupt(
        [&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); }));
    if (!fd) return {std::nullopt, errno == ENOENT ? NotFound : CannotOpen, LastError()};
    struct stat status;
    if (::fstat(fd.get(), &status) != 0) return {std::nullopt, CannotOpen, LastError()};
    if (!S_ISREG(status.st_mode)) return {std::nullopt, NotRegular, {}};
    if (RetryOnInterrupt([&] {
          return ::flock(fd.get(), (lock == Lock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
        }) != 0) {
      return {std::nullopt, errno == EWOULDBLOCK ? InUse : CannotOpen, LastError()};
    }
    if (::stat(path.c_str(), &named) == 0 && FileIdentity::Of(named) == FileIdentity::Of(status)) {
      return {LockedFile(std::move(fd), status), None, {}};
    }
  }
  return {std::nullopt, InUse, {}};
}

}  // namespace quobrel
