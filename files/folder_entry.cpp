#include "files/folder_entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_errors.h"
#include "files/file_names.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// The kernel's own limit on a chain of links.
constexpr int kMostLinks = 40;

std::optional<std::string> ReadLinkAt(int folder, const std::string& name) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t size = ::readlinkat(folder, name.c_str(), target.data(), target.size());
    if (size < 0) return std::nullopt;
    if (static_cast<std::size_t>(size) < target.size()) {
      target.resize(static_cast<std::size_t>(size));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

bool LiesWithin(int fd, const FileDescriptor& folder) {
  const std::string path = PathOf(fd);
  const std::string top = PathOf(folder.get());
  if (path.empty() || top.empty()) return false;
  return path == top || (path.starts_with(top) && (top == "/" || path[top.size()] == '/'));
}

}  // namespace

FileDescriptor OpenFolderAt(int at, const char* path, int flags) {
  FileDescriptor fd(RetryOnInterrupt(
      [&] { return ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags); }));
  if (!fd && errno == EACCES) {
    // A folder the user may write but not list: it can still be written in, not flushed.
    fd = FileDescriptor(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC | flags));
  }
  return fd;
}

EntryOpening EntryOf(const fs::path& path) {
  FileDescriptor folder = OpenFolderAt(AT_FDCWD, FolderOf(path).c_str());
  if (!folder) return {std::nullopt, LastError()};
  // A path that ends in a folder ("x/", "x/..") names the folder itself.
  const fs::path last = path.filename();
  std::string name = last.empty() || last == ".." ? fs::path(".").native() : last.native();
  return {FolderEntry{std::make_shared<const FileDescriptor>(std::move(folder)), std::move(name)},
          {}};
}

EntryOpening EntryBelow(const FolderEntry& folder, const fs::path& below, bool make,
                        bool* missing) {
  std::shared_ptr<const FileDescriptor> at = folder.folder;
  const fs::path in = below.parent_path();
  for (auto step = in.begin(); step != in.end(); ++step) {
    const char* name = step->c_str();
    FileDescriptor next = OpenFolderAt(at->get(), name, O_NOFOLLOW);
    if (!next && errno == ENOENT) {
      if (!make) {
        if (missing != nullptr) *missing = true;
        return {FolderEntry{at, step->native()}, {}};
      }
      if (::mkdirat(at->get(), name, 0777) != 0 && errno != EEXIST)
        return {std::nullopt, LastError()};
      next = OpenFolderAt(at->get(), name, O_NOFOLLOW);
      // As mkdir -p leaves the folders on the way: open to their owner whatever the umask.
      struct stat made {};
      if (next && ::fstat(next.get(), &made) == 0 && (made.st_mode & 0300) != 0300)
        ::fchmod(next.get(), (made.st_mode & 07777) | 0300);
    }
    if (!next) return {std::nullopt, LastError()};
    at = std::make_shared<const FileDescriptor>(std::move(next));
  }
  if (missing != nullptr) *missing = false;
  return {FolderEntry{std::move(at), below.filename().native()}, {}};
}

bool MayFollow(const struct stat& link, const struct stat& leadsTo) {
  return link.st_uid == leadsTo.st_uid;
}

EntryOpening FollowLinks(FolderEntry entry, const FileDescriptor* within) {
  bool followed = false;
  for (int hop = 0;; ++hop) {
    struct stat named;
    if (::fstatat(entry.at(), entry.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) break;  // nothing there yet
      return {std::nullopt, LastError()};
    }
    if (!S_ISLNK(named.st_mode)) break;
    if (hop == kMostLinks)
      return {std::nullopt, std::make_error_code(std::errc::too_many_symbolic_link_levels)};
    const std::optional<std::string> target = ReadLinkAt(entry.at(), entry.name);
    if (!target) return {std::nullopt, LastError()};
    const fs::path leadsTo(*target);
    std::string name = leadsTo.filename();
    // A link to a folder is no file; what opens it without following links will say so.
    if (name.empty() || name == "." || name == "..") break;
    FileDescriptor folder = leadsTo.has_parent_path()
                                ? OpenFolderAt(entry.at(), leadsTo.parent_path().c_str())
                                : FileDescriptor(::fcntl(entry.at(), F_DUPFD_CLOEXEC, 0));
    if (!folder) return {std::nullopt, LastError()};
    // What the link leads to, through the rest of the chain; where that ends in nothing, what
    // it names itself (another link), or the folder it would be made in.
    struct stat reached;
    if (::fstatat(folder.get(), name.c_str(), &reached, 0) != 0 &&
        (errno != ENOENT ||
         (::fstatat(folder.get(), name.c_str(), &reached, AT_SYMLINK_NOFOLLOW) != 0 &&
          (errno != ENOENT || ::fstat(folder.get(), &reached) != 0)))) {
      return {std::nullopt, LastError()};
    }
    if (!MayFollow(named, reached)) return {std::nullopt, FileError::LinkToOthers};
    entry = {std::make_shared<const FileDescriptor>(std::move(folder)), std::move(name)};
    followed = true;
  }
  if (followed && within && !LiesWithin(entry.at(), *within))
    return {std::nullopt, FileError::LinkOutOfTree};
  return {std::move(entry), {}};
}

std::string PathOf(int fd) {
  std::error_code error;
  return fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error).native();
}

std::optional<FileIdentity> IdentityOf(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0) return std::nullopt;
  return FileIdentity::Of(status);
}

std::optional<FileIdentity> IdentityAt(const FolderEntry& entry) {
  struct stat status;
  if (::fstatat(entry.at(), entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return std::nullopt;
  return FileIdentity::Of(status);
}

}  // namespace quobrel
