#include "files/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace quobrel {
namespace {

constexpr SystemCalls kReal = {
    [](int folder, const char* path, int flags, mode_t mode) {
      return ::openat(folder, path, flags, mode);
    },
    [](int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); },
    [](int fd, void* buffer, std::size_t size, off_t offset) {
      return ::pread(fd, buffer, size, offset);
    },
    [](int fd, const void* bytes, std::size_t size) { return ::write(fd, bytes, size); },
    [](int from, loff_t* fromOffset, int to, loff_t* toOffset, std::size_t size, unsigned flags) {
      return ::copy_file_range(from, fromOffset, to, toOffset, size, flags);
    },
    [](int fd, off_t offset, off_t size, unsigned flags) {
      return ::sync_file_range(fd, offset, size, flags);
    },
    [](int fd) { return ::fsync(fd); },
    [](int fromFolder, const char* from, int toFolder, const char* to) {
      return ::renameat(fromFolder, from, toFolder, to);
    },
    [](int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
      return ::renameat2(fromFolder, from, toFolder, to, flags);
    },
    [](int fromFolder, const char* from, int toFolder, const char* to, int flags) {
      return ::linkat(fromFolder, from, toFolder, to, flags);
    },
    [](int folder, const char* name, int flags) { return ::unlinkat(folder, name, flags); },
    [](int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); },
    [](int fd, mode_t mode) { return ::fchmod(fd, mode); },
    [](int fd, const struct timespec times[2]) { return ::futimens(fd, times); },
    [](int fd, const char* name, const void* value, std::size_t size, int flags) {
      return ::fsetxattr(fd, name, value, size, flags);
    },
    [](int fd, const char* name) { return ::fremovexattr(fd, name); },
};

// Atomic, so that the threads of a batch may read it while a test replaces it.
std::atomic<const SystemCalls*> inForce{&kReal};

}  // namespace

const SystemCalls& RealSystemCalls() { return kReal; }

const SystemCalls& Sys() { return *inForce.load(std::memory_order_acquire); }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls)
    : calls_(calls), previous_(inForce.exchange(&calls_, std::memory_order_acq_rel)) {}

ScopedSystemCalls::~ScopedSystemCalls() { inForce.store(previous_, std::memory_order_release); }

}  // namespace quobrel
