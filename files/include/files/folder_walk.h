// The files under a folder, as a file list would offer them, all the way down.
#pragma once

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "files/listed_file.h"

namespace quobrel {

struct FolderWalk {
  // Regular files and symbolic links to them, each folder's by name and before its
  // subfolders'; hidden ones, and those the file lists refuse (backups among them), left out.
  // Each is reached at its turn from the folder walked, step by step and through no link but
  // its own.
  std::vector<ListedFile> files;
  // The folders that could not be read, and why.
  std::vector<std::pair<std::filesystem::path, std::error_code>> unreadable;
  // The links to files that were passed by: out of the tree, or to another user's file.
  std::vector<std::pair<std::filesystem::path, std::error_code>> linksPassedBy;
};

// Walks `folder` and the folders in it, hidden ones left out; a symbolic link to a folder
// is not followed, so that no walk runs in circles or out of the tree it was given, and a
// link to a file only to a file of the tree that belongs to the link's own user. Nothing when
// `folder` names no folder (a file, or nothing at all). The folder `passBy` is, if any, is
// left out with all it holds: the results of an earlier walk must not be walked again.
[[nodiscard]] std::optional<FolderWalk> WalkFolder(
    const std::filesystem::path& folder, std::optional<FileIdentity> passBy = std::nullopt);

}  // namespace quobrel
