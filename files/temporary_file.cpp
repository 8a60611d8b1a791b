#include "internal/temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>

#include "files/system_calls.h"

namespace quobrel {

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  std::string name(kTemporaryPrefix);
  name.append(std::to_string(::getpid())).append("-").append(std::to_string(counter++));
  return name.append(kTemporarySuffix);
}

TemporaryFile::TemporaryFile(int folder) : folder_(folder) {
  fd_ = FileDescriptor(RetryOnInterrupt(
      [&] { return Sys().openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600); }));
  if (fd_ || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
    Lock();
    return;
  }
  // No unnamed files here: one named for this process, that nobody else may read.
  for (int attempt = 0; attempt < 100 && !fd_; ++attempt) {
    name_ = TemporaryName();
    fd_ = FileDescriptor(RetryOnInterrupt([&] {
      return Sys().openat(folder, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }));
    if (!fd_ && errno != EEXIST) break;
  }
  if (!fd_) name_.clear();
  Lock();
}

TemporaryFile::TemporaryFile(int folder, int existing)
    : folder_(folder), fd_(::fcntl(existing, F_DUPFD_CLOEXEC, 0)) {}

TemporaryFile::~TemporaryFile() {
  if (!name_.empty()) Sys().unlinkat(folder_, name_.c_str(), 0);
}

void TemporaryFile::Lock() const {
  if (fd_) ::flock(fd_.get(), LOCK_EX | LOCK_NB);
}

std::error_code TemporaryFile::Name() {
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

bool TemporaryFile::Link(const std::string& name) const {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
  // Through /proc; without it, by the descriptor itself (which needs privilege).
  return Sys().linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
         (errno == ENOENT &&
          Sys().linkat(fd_.get(), "", folder_, name.c_str(), AT_EMPTY_PATH) == 0);
}

std::error_code Flush(int fd) { return Sys().fsync(fd) == 0 ? std::error_code() : LastError(); }

}  // namespace quobrel
