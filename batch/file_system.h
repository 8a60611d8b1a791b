// The file operations of the batches. Nothing here leaves a file half-written: a file is
// written to a temporary file beside it and renamed over it only once complete.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace quobrel {

// Whether a regular file (or a link to one) is at the path.
bool IsFile(const std::filesystem::path& path);

// Reads the whole file.
std::error_code ReadFile(const std::filesystem::path& path, std::string& bytes);

// Replaces the file at `target` (or creates it) with the parts, one after the other. A
// symbolic link is written through; the file keeps its permissions. A file without any
// write permission is not replaced.
std::error_code WriteFileAtomically(const std::filesystem::path& target,
                                    std::initializer_list<std::string_view> parts);

// Copies `source` to `destination`, replacing what is there only once the copy is whole.
std::error_code CopyFileAtomically(const std::filesystem::path& source,
                                   const std::filesystem::path& destination);

}  // namespace quobrel
