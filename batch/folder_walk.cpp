#include "batch/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

#include "batch/file_names.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

void Walk(const fs::path& folder, FolderWalk& walk) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
  if (!listing) {
    walk.unreadable.emplace_back(folder, std::error_code(errno, std::generic_category()));
    return;
  }
  std::vector<std::string> files, folders;
  for (;;) {
    errno = 0;  // tells the end from a failure
    const dirent* entry = ::readdir(listing.get());
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name.starts_with('.')) continue;
    struct stat status;
    // Not through a link: a linked folder is no folder here; a linked file is looked at.
    if (::fstatat(::dirfd(listing.get()), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    if (S_ISDIR(status.st_mode)) {
      folders.push_back(name);
    } else if ((S_ISREG(status.st_mode) ||
                (S_ISLNK(status.st_mode) &&
                 ::fstatat(::dirfd(listing.get()), name.c_str(), &status, 0) == 0 &&
                 S_ISREG(status.st_mode))) &&
               !IsRefused(std::string_view(name))) {
      files.push_back(name);
    }
  }
  if (errno != 0)
    walk.unreadable.emplace_back(folder, std::error_code(errno, std::generic_category()));
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const std::string& name : files) walk.files.push_back(folder / name);
  for (const std::string& name : folders) Walk(folder / name, walk);
}

}  // namespace

FolderWalk WalkFolder(const fs::path& folder) {
  FolderWalk walk;
  Walk(folder, walk);
  return walk;
}

}  // namespace quobrel
