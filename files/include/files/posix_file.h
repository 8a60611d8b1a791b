// Thin, safe wrappers over the POSIX file calls the batches make.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace quobrel {

// The error the last failed system call left in errno.
inline std::error_code LastError() { return {errno, std::generic_category()}; }

// Calls `call` again for as long as a signal interrupts it.
template <class Call>
auto RetryOnInterrupt(Call call) {
  for (;;) {
    const auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

// A file descriptor, closed when it goes.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// A file as the file system tells it apart from every other: its device and inode.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  static FileIdentity Of(const struct stat& status) { return {status.st_dev, status.st_ino}; }
  auto operator<=>(const FileIdentity&) const = default;
};

// Appends everything the descriptor still has to `bytes`; `expected` sizes the first read.
[[nodiscard]] std::error_code ReadAll(int fd, std::string& bytes, std::size_t expected = 0);

[[nodiscard]] std::error_code WriteAll(int fd, std::string_view bytes);

}  // namespace quobrel
