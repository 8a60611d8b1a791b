#include "files/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

#include "files/file_names.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// The folders of a walk, each opened again when a file of it has its turn: from the folder
// walked, step by step, through no link, and only while each step is still the folder that
// was listed.
class Tree {
 public:
  struct Folder {
    std::size_t parent;
    std::string name;
    FileIdentity identity;
  };

  Tree(FileDescriptor top, std::optional<FileIdentity> passBy)
      : passBy(passBy), top_(std::move(top)) {}

  const FileDescriptor& top() const { return top_; }
  std::vector<Folder> folders;  // the first is the folder walked
  const std::optional<FileIdentity> passBy;

  // The folder `index`, or why it cannot be reached as it was listed.
  std::shared_ptr<const FileDescriptor> Open(std::size_t index, std::error_code& error) {
    if (lastIndex_ == index && last_) return last_;
    std::shared_ptr<const FileDescriptor> folder;
    if (index == 0) {
      folder = std::make_shared<const FileDescriptor>(::fcntl(top_.get(), F_DUPFD_CLOEXEC, 0));
    } else {
      const std::shared_ptr<const FileDescriptor> parent = Open(folders[index].parent, error);
      if (!parent) return nullptr;
      folder = std::make_shared<const FileDescriptor>(
          OpenFolderAt(parent->get(), folders[index].name.c_str(), O_NOFOLLOW));
    }
    if (!*folder) {
      error = LastError();
      return nullptr;
    }
    if (IdentityOf(folder->get()) != folders[index].identity) {
      error = std::make_error_code(std::errc::no_such_file_or_directory);  // moved away
      return nullptr;
    }
    lastIndex_ = index;
    last_ = folder;
    return folder;
  }

 private:
  FileDescriptor top_;
  std::size_t lastIndex_ = 0;
  std::shared_ptr<const FileDescriptor> last_;
};

// A file found; its result goes to the same place below an output folder.
ListedFile FileOf(const std::shared_ptr<Tree>& tree, std::size_t folder, fs::path path,
                  const std::string& name, fs::path below) {
  return {std::move(path),
          [tree, folder, name]() -> EntryOpening {
            std::error_code error;
            std::shared_ptr<const FileDescriptor> at = tree->Open(folder, error);
            if (!at) return {std::nullopt, error};
            return FollowLinks({std::move(at), name}, &tree->top());
          },
          std::move(below)};
}

// `folder` is the path as named, `below` the same from the walk's top.
void Walk(const std::shared_ptr<Tree>& tree, std::size_t index, int folderFd,
          const fs::path& folder, const fs::path& below, FolderWalk& walk) {
  DIR* opened = ::fdopendir(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
  if (opened == nullptr) {
    walk.unreadable.emplace_back(folder, LastError());
    return;
  }
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opened, ::closedir);
  std::vector<std::string> files, folders;
  for (;;) {
    errno = 0;  // tells the end from a failure
    const dirent* entry = ::readdir(listing.get());
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name.starts_with('.')) continue;
    struct stat status;
    if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(status.st_mode)) {
      folders.push_back(name);
    } else if (IsRefused(std::string_view(name))) {
      continue;
    } else if (S_ISREG(status.st_mode)) {
      files.push_back(name);
    } else if (S_ISLNK(status.st_mode) && ::fstatat(folderFd, name.c_str(), &status, 0) == 0 &&
               S_ISREG(status.st_mode)) {
      // A linked folder is no folder here; a linked file is taken as the rule of links says.
      const auto shared =
          std::make_shared<const FileDescriptor>(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
      const EntryOpening reached = FollowLinks({shared, name}, &tree->top());
      if (reached.entry) {
        files.push_back(name);
      } else {
        walk.linksPassedBy.emplace_back(folder / name, reached.error);
      }
    }
  }
  if (errno != 0) walk.unreadable.emplace_back(folder, LastError());
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const std::string& name : files)
    walk.files.push_back(FileOf(tree, index, folder / name, name, below / name));
  for (const std::string& name : folders) {
    const FileDescriptor subfolder(
        ::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const std::optional<FileIdentity> identity =
        subfolder ? IdentityOf(subfolder.get()) : std::nullopt;
    if (!identity) {
      walk.unreadable.emplace_back(folder / name, LastError());
      continue;
    }
    if (identity == tree->passBy) continue;
    tree->folders.push_back({index, name, *identity});
    Walk(tree, tree->folders.size() - 1, subfolder.get(), folder / name, below / name, walk);
  }
}

}  // namespace

std::optional<FolderWalk> WalkFolder(const fs::path& folder, std::optional<FileIdentity> passBy) {
  FolderWalk walk;
  // Opened once, and told a folder by opening it as one.
  FileDescriptor top(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!top && (errno == ENOTDIR || errno == ENOENT)) return std::nullopt;
  const std::optional<FileIdentity> identity = top ? IdentityOf(top.get()) : std::nullopt;
  if (!identity) {
    walk.unreadable.emplace_back(folder, LastError());
    return walk;
  }
  auto tree = std::make_shared<Tree>(std::move(top), passBy);
  tree->folders.push_back({0, {}, *identity});
  Walk(tree, 0, tree->top().get(), folder, {}, walk);
  return walk;
}

}  // namespace quobrel
