// The system calls through which a user's files are written, and read for a conversion, as
// one table of function pointers: the real calls, unless a test has put others in their
// place to make the disk fill up, a read fail, or the kernel lack a feature, where it wants.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <ctime>

namespace quobrel {

struct SystemCalls {
  int (*openat)(int folder, const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, std::size_t size);
  ssize_t (*pread)(int fd, void* buffer, std::size_t size, off_t offset);
  ssize_t (*write)(int fd, const void* bytes, std::size_t size);
  ssize_t (*copyFileRange)(int from, loff_t* fromOffset, int to, loff_t* toOffset, std::size_t size,
                           unsigned flags);
  int (*syncFileRange)(int fd, off_t offset, off_t size, unsigned flags);
  int (*fsync)(int fd);
  int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
  int (*renameat2)(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags);
  int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
  int (*unlinkat)(int folder, const char* name, int flags);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*fchmod)(int fd, mode_t mode);
  int (*futimens)(int fd, const struct timespec times[2]);
  int (*fsetxattr)(int fd, const char* name, const void* value, std::size_t size, int flags);
  int (*fremovexattr)(int fd, const char* name);
};

// The kernel's own.
const SystemCalls& RealSystemCalls();

// The calls in force; safe to ask from any thread.
const SystemCalls& Sys();

// Puts other calls in force for as long as it lives, for a test: made before the threads that
// make the calls start, and ended after they end, so that none is under way as it goes.
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  SystemCalls calls_;
  const SystemCalls* previous_;
};

}  // namespace quobrel
