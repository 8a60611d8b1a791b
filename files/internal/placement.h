// How new files take their names in a folder: renames that replace nothing they must not,
// and the folder's flush that puts them on the disk.
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "files/locked_file.h"

namespace quobrel {

// Flushes the folder's entries, so that a rename is on the disk.
[[nodiscard]] std::error_code FlushFolder(int folder);

// Renames `from` to `to` unless `to` exists; where renames cannot refuse to replace, a link
// can. False, with errno, when it did not.
[[nodiscard]] bool RenameNoReplace(int folder, const std::string& from, const std::string& to);

// The names in the folder, or none where it cannot be listed.
std::vector<std::string> NamesIn(int folder);

// Renames the temporary file over the target, unless the target is no longer what the run
// read: another program (one that takes no lock) has written or replaced it meanwhile.
[[nodiscard]] std::error_code PutInPlace(int folder, const std::string& temporary,
                                         const std::string& target, const LockedFile& current);

}  // namespace quobrel
