// The backup of a file: the file itself under another name, or a copy, which records the
// name of the file it backs up.
#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "files/posix_file.h"
#include "files/safe_write.h"
#include "internal/temporary_file.h"

namespace quobrel {

// The attribute in which a backup records the name of the file it backs up.
inline constexpr const char* kBackupRecord = "user.quobrel.backup-of";

// Records the name with the backup; a file system without attributes keeps it unrecorded.
[[nodiscard]] std::error_code SetRecord(int fd, const std::string& backsUp);
// The record of the file the folder holds under `name`, not through a link; nothing when it
// has none.
[[nodiscard]] std::optional<std::string> RecordAt(int folder, const std::string& name);

// Renames `from` to the number after the highest of `name`'s numbered backups
// ("memo.old.~3~"), never replacing anything; `aside` is the new name.
[[nodiscard]] std::error_code SetAsideNumbered(int folder, const std::string& from,
                                               const std::string& name, std::string& aside);

// The backup, complete on disk under a temporary name until it is put in place.
struct PreparedBackup {
  int folder = -1;
  std::string name;
  std::string backsUp;
  std::optional<FileIdentity> earlier;
  bool keepEarlier = false;
  std::optional<TemporaryFile> file;
  bool isOriginal = false;  // the backup is the file itself, which the record marks
  bool marked = false;      // the record is on the original
  bool placed = false;      // the backup has its name
  bool exchanged = false;   // the temporary name now holds the earlier backup
  std::string held;         // without exchanges: a second name of the earlier backup
  std::string aside;        // the numbered name the earlier backup was set aside to

  ~PreparedBackup();

  // Makes the backup in the folder `into`, on any thread.
  [[nodiscard]] std::error_code Prepare(const Backup& backup, int into);

  // Puts the backup in place, keeping any earlier one under the temporary name until the
  // file itself is replaced, or under a number for good. On failure, undone.
  [[nodiscard]] std::error_code Place();
  // Whether the backup name holds the backup this run made.
  [[nodiscard]] bool InPlace() const;
  // The file could not be replaced: the earlier backup goes back, or the new one goes.
  void Undo();

 private:
  [[nodiscard]] std::error_code PlaceOrFail();
};

}  // namespace quobrel
