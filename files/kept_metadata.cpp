#include "internal/kept_metadata.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <string>
#include <string_view>

#include "files/file_errors.h"
#include "files/system_calls.h"
#include "internal/backup.h"

namespace quobrel {
namespace {

// Every extended attribute of `from` that this process may read and set, ACLs included.
std::error_code CopyExtendedAttributes(int from, int to) {
  std::string names;
  for (;;) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return IsUnsupportedOrForbidden(errno) ? std::error_code() : LastError();
    names.resize(static_cast<std::size_t>(size));
    const ssize_t listed = ::flistxattr(from, names.data(), names.size());
    if (listed >= 0) {
      names.resize(static_cast<std::size_t>(listed));
      break;
    }
    if (errno != ERANGE) return LastError();  // ERANGE: the list grew meanwhile
  }
  constexpr std::string_view kAccessAcl = "system.posix_acl_access";
  bool hasAccessAcl = false;
  std::string value;
  for (std::size_t start = 0; start < names.size();) {
    const std::string name = names.c_str() + start;
    start += name.size() + 1;
    hasAccessAcl = hasAccessAcl || name == kAccessAcl;
    if (name == kBackupRecord) continue;  // a record says what its own file is
    const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
    if (size < 0) continue;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
    if (got < 0) continue;
    if (Sys().fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0 &&
        !IsUnsupportedOrForbidden(errno)) {
      return LastError();
    }
  }
  // A default ACL of the folder gave the new file an ACL that the original does not have.
  if (!hasAccessAcl) Sys().fremovexattr(to, kAccessAcl.data());
  return {};
}

}  // namespace

bool IsUnsupportedOrForbidden(int error) {
  return error == ENOTSUP || error == EPERM || error == EACCES || error == ENODATA ||
         error == EINVAL;
}

std::error_code KeepMetadata(const LockedFile& original, int to, bool withTimes) {
  const struct stat& status = original.status();
  struct stat now;
  if (::fstat(to, &now) != 0) return LastError();
  if ((now.st_uid != status.st_uid || now.st_gid != status.st_gid) &&
      Sys().fchown(to, status.st_uid, status.st_gid) != 0) {
    return FileError::OwnerNotKept;
  }
  const mode_t mode = status.st_mode & 07777;
  if (const std::error_code error = CopyExtendedAttributes(original.fd(), to)) return error;
  if (Sys().fchmod(to, mode) != 0) return LastError();
  const struct timespec times[2] = {status.st_atim, status.st_mtim};
  if (withTimes && Sys().futimens(to, times) != 0) return LastError();
  return {};
}

}  // namespace quobrel
