// A file by its name in a folder held open. Every step on the file goes through the folder's
// descriptor, so that a folder renamed, or swapped for a symbolic link, while a run goes on
// cannot lead the run anywhere else.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "files/posix_file.h"

namespace quobrel {

struct FolderEntry {
  std::shared_ptr<const FileDescriptor> folder;
  std::string name;  // a single name, without a slash

  int at() const { return folder->get(); }
};

struct EntryOpening {
  std::optional<FolderEntry> entry;
  std::error_code error;
};

// Opens a folder to create, link and rename files in, and to flush: readable where the user
// may list it, else only as a place. `flags` may add O_NOFOLLOW.
[[nodiscard]] FileDescriptor OpenFolderAt(int at, const char* path, int flags = 0);

// The folder of `path`, opened as the path spells it (its user named it), and its last name.
[[nodiscard]] EntryOpening EntryOf(const std::filesystem::path& path);

// Whether a symbolic link may be followed: only to what belongs to the link's own user, so
// that nobody's link leads a run, root's above all, to somebody else's file.
bool MayFollow(const struct stat& link, const struct stat& leadsTo);

// Follows the entry for as long as it names a symbolic link the rule lets through; a link to
// nothing yet is judged by the folder it leads into. With `within`, the file reached must also
// lie in that folder or below it.
[[nodiscard]] EntryOpening FollowLinks(FolderEntry entry, const FileDescriptor* within = nullptr);

// The entry `below` names in `folder` (".", in a folder held open): each folder on the way
// opened without following links, and made where missing, as mkdir -p makes them, under the
// umask. Without `make`, a missing folder is the entry, where nothing is found, and
// `missing`, when given, says so.
[[nodiscard]] EntryOpening EntryBelow(const FolderEntry& folder, const std::filesystem::path& below,
                                      bool make, bool* missing = nullptr);

// The path the kernel knows a descriptor by; empty when it cannot tell.
[[nodiscard]] std::string PathOf(int fd);

[[nodiscard]] std::optional<FileIdentity> IdentityOf(int fd);
[[nodiscard]] std::optional<FileIdentity> IdentityAt(
    const FolderEntry& entry);  // not through a link

}  // namespace quobrel
