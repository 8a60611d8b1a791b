// The names in a folder as the file system has them: bytes, which need not be UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quobrel {

// The regular files of the folder (and symbolic links to them), hidden ones left out; in
// no particular order. Empty when the folder cannot be read.
std::vector<std::string> VisibleFileNames(const std::filesystem::path& folder);

}  // namespace quobrel
