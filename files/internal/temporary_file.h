// The temporary file that new contents, or a backup copy, are written into before they take
// their name: unnamed where the file system allows, so that a process that dies leaves
// nothing behind; else named for this process, so that a later run can tell it was.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "files/posix_file.h"

namespace quobrel {

// Named temporary files are ".quobrel-<pid>-<n>.tmp", so that a later run can tell whose
// they were.
inline constexpr std::string_view kTemporaryPrefix = ".quobrel-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// A name for a temporary file of this process: ".quobrel-<pid>-<n>.tmp".
std::string TemporaryName();

// A file that becomes visible only when it is put in place, and is gone otherwise.
class TemporaryFile {
 public:
  // A new file in the folder, that nobody else may read; false, with errno set, when none
  // could be made.
  explicit TemporaryFile(int folder);
  // Another name, to be, for the file open at `existing`.
  TemporaryFile(int folder, int existing);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_.get(); }
  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Gives an unnamed file its temporary name, the step before a rename.
  [[nodiscard]] std::error_code Name();
  // Gives the file `name` in its folder, unless that exists; the name is the caller's then.
  // False, with errno set, when it did not.
  [[nodiscard]] bool Link(const std::string& name) const;
  const std::string& name() const { return name_; }
  // The name now holds something else, or nothing: it is not this object's to remove.
  void ForgetName() { name_.clear(); }

 private:
  // Locked as the file it replaces is, so that no other run takes it up while this one is
  // still busy with it; nobody else has it yet.
  void Lock() const;

  int folder_;
  FileDescriptor fd_;
  std::string name_;
};

// Flushes the file to the disk.
[[nodiscard]] std::error_code Flush(int fd);

}  // namespace quobrel
