// The one way the program changes a file on disk.
//
// The new contents, and a backup of what the file held (the file itself under another
// name, or a copy), are written to temporary files beside their names, created so that no other
// user can read them and, where the file system allows, unnamed so that a process that dies leaves
// nothing behind. Each is given the owner, mode, extended attributes (ACLs among them) of the file
// it stands for, and flushed to the disk. Only then are they renamed into place: the backup first,
// then the file. A failure before that leaves the file and any earlier backup as they were.
// A backup records the name of the file it backs up, so that no run replaces the backup of
// another file, and the file must be as the run read it up to its rename: another program
// may have written it meanwhile.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/folder_entry.h"
#include "files/locked_file.h"
#include "support/result.h"

namespace quobrel {

// Where the backup name of a file stands when a run looks at it.
struct EarlierBackup {
  struct stat status;                 // not through a link
  std::optional<std::string> record;  // the name of the file it backs up, as recorded with it
};
// Nothing when the name is free.
[[nodiscard]] std::optional<EarlierBackup> LookAtBackup(const FolderEntry& backup);

struct Replacement {
  FolderEntry target;         // the name to replace or create; not a symbolic link
  const LockedFile* current;  // what `target` holds now, whose metadata is kept; or null
  mode_t newFileMode = 0600;  // the permissions of a new file, given to `newFileGroup`:
  gid_t newFileGroup = 0;     // another group that a new file falls to gets none
};

struct Backup {
  std::string name;            // the backup's name, in the folder of the file it backs up
  const LockedFile& original;  // copied whole, with its metadata and modification time
  std::string backsUp;         // the name of the file it backs up, recorded with it
  // What the name held when the run looked (it must still hold it), and whether that is
  // kept under a number rather than replaced.
  std::optional<FileIdentity> earlier;
  bool keepEarlier = false;
};

struct WrittenFiles {
  FileIdentity file;
  std::optional<FileIdentity> backup;
};

// Which of the two files a step of the safe-write path failed on.
enum class WritePart { File, Backup };

struct WriteFailure {
  std::error_code error;
  WritePart part = WritePart::File;
};

class TemporaryFile;
struct PreparedBackup;

// A new version of a file: its contents are written through Write(), then Commit() puts it
// in place. The backup copy is made meanwhile, on a thread of its own. Dropped without a
// commit, it leaves nothing behind.
class SafeWrite {
 public:
  SafeWrite(const Replacement& replacement, const std::optional<Backup>& backup);
  ~SafeWrite();
  SafeWrite(const SafeWrite&) = delete;
  SafeWrite& operator=(const SafeWrite&) = delete;

  // Why the temporary file could not be made; nothing is to be written then.
  [[nodiscard]] const std::error_code& error() const { return error_; }
  // Appends to the new contents, and has the disk start on them.
  [[nodiscard]] std::error_code Write(std::string_view bytes);

  // Flushes the new contents with their metadata, and waits for the backup copy: the
  // slow part of a commit, on any thread.
  [[nodiscard]] Result<void, WriteFailure> Prepare();
  // Renames the backup, then the file, into place; the renames are on the disk once
  // FlushFolders() has flushed their folders, which a batch may do for several files at once.
  [[nodiscard]] Result<WrittenFiles, WriteFailure> Place();
  // The identity of the folder to flush, which holds the file and its backup.
  FileIdentity Folder() const;
  [[nodiscard]] Result<void> FlushFolders();
  [[nodiscard]] Result<WrittenFiles, WriteFailure> Commit();

 private:
  Replacement replacement_;
  std::unique_ptr<TemporaryFile> file_;
  std::error_code error_;
  off_t written_ = 0;
  std::unique_ptr<PreparedBackup> backup_;
  std::future<std::error_code> backupPrepared_;  // goes first, waiting for the copy
};

// The whole of the new contents at once.
[[nodiscard]] Result<WrittenFiles, WriteFailure> WriteSafely(
    const Replacement& replacement, std::initializer_list<std::string_view> contents,
    const std::optional<Backup>& backup = std::nullopt);

// Whether this process may replace the file and keep its owner: it may write the folder
// and, as its effective user, the file; a file without any write permission is refused
// even to root.
[[nodiscard]] std::error_code CheckReplaceable(const FolderEntry& target,
                                               const LockedFile* current);

// Renames the file the entry names to the first of "<name><suffix>", "<name><suffix>.2", …
// that does not exist yet, never replacing anything; returns the new name, or nothing.
[[nodiscard]] std::optional<std::string> SetAside(const FolderEntry& entry,
                                                  std::string_view suffix);

// Undoes what runs of this program left in the folder when their process died: an earlier
// backup that a run had taken out of the way goes back to its name (or, with that name taken,
// to a numbered one), and the temporary files go. Those of running processes stay. Returns
// the backups put back.
std::vector<FileIdentity> RecoverLeftovers(int folder);

// A backup name that still holds the file it stands for, linked there by a run that died
// before the file was replaced, and so marked: the name is to go again.
[[nodiscard]] bool IsHalfMadeBackup(const FolderEntry& backup, const LockedFile& file,
                                    const std::string& backsUp);
// Unlinks it, and the mark; whether it could.
[[nodiscard]] bool DropHalfMadeBackup(const FolderEntry& backup, LockedFile& file);

}  // namespace quobrel
