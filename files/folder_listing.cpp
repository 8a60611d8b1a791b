#include "files/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace quobrel {

std::vector<std::string> VisibleFileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (entry->d_name[0] == '.') continue;
    struct stat status;
    if (::fstatat(::dirfd(listing.get()), entry->d_name, &status, 0) == 0 &&
        S_ISREG(status.st_mode)) {
      names.emplace_back(entry->d_name);
    }
  }
  return names;
}

}  // namespace quobrel
