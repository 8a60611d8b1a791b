#include "file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>

namespace quobrel {
namespace fs = std::filesystem;
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// A file descriptor closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&&) = delete;
  int get() const { return fd_; }
  // Closes now, for the error that closing can report.
  std::error_code Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? std::error_code() : LastError();
  }

 private:
  int fd_;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// The file a path names, through any symbolic links.
fs::path RealTarget(const fs::path& target, std::error_code& error) {
  if (!fs::is_symlink(target)) return target;
  return fs::weakly_canonical(target, error);
}

// A new temporary file beside `target`, hidden from the file lists by its leading dot.
// It is created as any new file is, under the process's umask.
std::pair<Descriptor, fs::path> TemporaryBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    // Built step by step: one long expression of + trips a false alarm in GCC 12.
    std::string hidden = ".";
    hidden.append(target.filename().string()).append(".quobrel-");
    hidden.append(std::to_string(::getpid())).append("-").append(std::to_string(counter++));
    const fs::path name = target.parent_path() / hidden;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return {Descriptor(fd), name};
  }
  errno = EEXIST;
  return {Descriptor(-1), fs::path()};
}

// Finishes a temporary file: flushed to the disk, given `mode` when there is one, renamed
// over `target`. On any failure the temporary file goes and `target` is left as it was.
std::error_code Commit(Descriptor& file, const fs::path& temporary, const fs::path& target,
                       std::optional<mode_t> mode, std::error_code error) {
  if (!error && ::fsync(file.get()) != 0) error = LastError();
  if (!error && mode && ::fchmod(file.get(), *mode) != 0) error = LastError();
  if (const std::error_code closed = file.Close(); !error) error = closed;
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
  if (error) ::unlink(temporary.c_str());
  return error;
}

}  // namespace

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::error_code ReadFile(const fs::path& path, std::string& bytes) {
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return LastError();
  struct stat status;
  if (::fstat(file.get(), &status) != 0) return LastError();
  bytes.resize(static_cast<std::size_t>(status.st_size));
  std::size_t length = 0;
  for (;;) {
    if (length == bytes.size()) bytes.resize(bytes.size() + (std::size_t{1} << 16));
    const ssize_t count = ::read(file.get(), bytes.data() + length, bytes.size() - length);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    length += static_cast<std::size_t>(count);
  }
  bytes.resize(length);
  return {};
}

std::error_code WriteFileAtomically(const fs::path& target,
                                    std::initializer_list<std::string_view> parts) {
  std::error_code error;
  const fs::path real = RealTarget(target, error);
  if (error) return error;
  std::optional<mode_t> mode;
  struct stat status;
  if (::stat(real.c_str(), &status) == 0) {
    // The user has said this file is not to be changed.
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      return std::make_error_code(std::errc::permission_denied);
    }
    mode = status.st_mode & 07777;
  }
  auto [file, temporary] = TemporaryBeside(real);
  if (file.get() < 0) return LastError();
  for (std::string_view part : parts) {
    if ((error = WriteAll(file.get(), part))) break;
  }
  return Commit(file, temporary, real, mode, error);
}

std::error_code CopyFileAtomically(const fs::path& source, const fs::path& destination) {
  Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return LastError();
  struct stat status;
  if (::fstat(in.get(), &status) != 0) return LastError();
  auto [out, temporary] = TemporaryBeside(destination);
  if (out.get() < 0) return LastError();
  std::error_code error;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = ::read(in.get(), buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      error = LastError();
      break;
    }
    if ((error = WriteAll(out.get(), std::string_view(buffer, static_cast<std::size_t>(count)))))
      break;
  }
  return Commit(out, temporary, destination, status.st_mode & 07777, error);
}

}  // namespace quobrel
