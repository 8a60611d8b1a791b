#include "files/posix_file.h"

#include <unistd.h>

#include <algorithm>

#include "files/system_calls.h"

namespace quobrel {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

std::error_code ReadAll(int fd, std::string& bytes, std::size_t expected) {
  std::size_t length = bytes.size();
  // One byte more than expected, so that the end is seen without growing the buffer.
  bytes.resize(length + expected + 1);
  for (;;) {
    if (length == bytes.size()) bytes.resize(std::max<std::size_t>(bytes.size() * 2, 1 << 16));
    const ssize_t count = RetryOnInterrupt(
        [&] { return Sys().read(fd, bytes.data() + length, bytes.size() - length); });
    if (count < 0) return LastError();
    if (count == 0) break;
    length += static_cast<std::size_t>(count);
  }
  bytes.resize(length);
  return {};
}

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count =
        RetryOnInterrupt([&] { return Sys().write(fd, bytes.data(), bytes.size()); });
    if (count < 0) return LastError();
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return {};
}

}  // namespace quobrel
