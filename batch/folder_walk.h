// The files under a folder, as a file list would offer them, all the way down.
#pragma once

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace quobrel {

struct FolderWalk {
  // Regular files and symbolic links to them, each folder's by name and before its
  // subfolders'; hidden ones, and those the file lists refuse (backups among them), left out.
  std::vector<std::filesystem::path> files;
  // The folders that could not be read, and why.
  std::vector<std::pair<std::filesystem::path, std::error_code>> unreadable;
};

// Walks `folder` and the folders in it, hidden ones left out; a symbolic link to a folder
// is not followed, so that no walk runs in circles or out of the tree it was given.
FolderWalk WalkFolder(const std::filesystem::path& folder);

}  // namespace quobrel
