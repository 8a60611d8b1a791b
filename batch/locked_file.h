// A file that a batch has in hand: open for reading, a regular file, and locked against
// other runs of the program for as long as it is held.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "batch/posix_file.h"

namespace quobrel {

class LockedFile {
 public:
  enum class Refusal {
    None,
    NotFound,
    NotRegular,  // a folder, FIFO, device or socket
    InUse,       // another run holds it
    CannotOpen,  // see `error`
  };

  // Exclusive for a file about to be replaced; shared for one only read.
  enum class Lock { Exclusive, Shared };

  struct Opening;
  // Opens the file at `path` (through symbolic links) without ever blocking, as a FIFO or
  // device would; once locked, it is checked to be still the file the path names.
  static Opening Open(const std::filesystem::path& path, Lock lock = Lock::Exclusive);

  int fd() const { return fd_.get(); }
  const struct stat& status() const { return status_; }
  FileIdentity identity() const { return FileIdentity::Of(status_); }

 private:
  LockedFile(FileDescriptor fd, const struct stat& status) : fd_(std::move(fd)), status_(status) {}
  FileDescriptor fd_;
  struct stat status_;
};

struct LockedFile::Opening {
  std::optional<LockedFile> file;
  Refusal refusal = Refusal::None;
  std::error_code error;
};

}  // namespace quobrel
