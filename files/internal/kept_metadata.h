// What a new file keeps of the file it stands for: its owner and group, its extended
// attributes (ACLs among them), its mode and, for a backup, its times.
#pragma once

#include <system_error>

#include "files/locked_file.h"

namespace quobrel {

// Whether an error of an attribute's call says that the file system or the user cannot
// have it: such an attribute goes without.
bool IsUnsupportedOrForbidden(int error);

// Owner and group, then attributes, then the mode: a change of owner clears some of them.
// A file never changes hands: where the owner or group cannot be kept, it is refused.
[[nodiscard]] std::error_code KeepMetadata(const LockedFile& original, int to, bool withTimes);

}  // namespace quobrel
