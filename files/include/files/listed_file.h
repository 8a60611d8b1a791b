// A file of a work list, named by its user or found by a walk.
#pragma once

#include <filesystem>
#include <functional>

#include "files/folder_entry.h"

namespace quobrel {

// A file of a work list: the path its status line starts as, and how to reach it at its turn.
struct ListedFile {
  std::filesystem::path path;
  std::function<EntryOpening()> locate;
  // Where its result goes in an output folder: its name, or a path below, whose folders
  // are made as needed.
  std::filesystem::path outputPath = {};

  // A file named by its path, as its user spelt it: through symbolic links that the rule of
  // links lets through.
  static ListedFile Named(const std::filesystem::path& path);
};

}  // namespace quobrel
