// A file that a batch has in hand: open for reading, a regular file, and locked against
// other runs of the program for as long as it is held.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "files/folder_entry.h"
#include "files/posix_file.h"

namespace quobrel {

class LockedFile {
 public:
  enum class Refusal {
    None,
    NotFound,
    NotRegular,  // a folder, FIFO, device, socket or symbolic link
    InUse,       // another run holds it
    CannotOpen,  // see `error`
  };

  // Exclusive for a file about to be replaced; shared for one only read.
  enum class Lock { Exclusive, Shared };

  struct Opening;
  // Opens the file the entry names, not through a symbolic link, without ever blocking, as a
  // FIFO or device would; once locked, it is checked to be still the file the entry names.
  [[nodiscard]] static Opening Open(const FolderEntry& entry, Lock lock = Lock::Exclusive);

  // Whether the file is still as it was opened, through its descriptor and under its name in
  // the folder: the same size and modification time and, with `changeTime`, the same change
  // time, which any change of its metadata moves too. ChangedMeanwhile when not.
  [[nodiscard]] std::error_code CheckUnchanged(int folder, const std::string& name,
                                               bool changeTime) const;

  // The program changed the file's metadata itself: that is no change of another's.
  void TakeOwnChanges() { ::fstat(fd_.get(), &status_); }

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
