// The one way the program changes a file on disk.
//
// The new contents, and a backup of what the file held (the file itself under another
// name, or a copy), are written to temporary files beside their names, created so that no other
// user can read them and, where the file system allows, unnamed so that a process that dies leaves
// nothing behind. Each is given the owner, mode, extended attributes (ACLs among them) of the file
// it stands for, and flushed to the disk. Only then are they renamed into place: the backup first,
// then the file. A failure before that leaves the file and any earlier backup as they were.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "batch/locked_file.h"

namespace quobrel {

// The file a name stands for, through symbolic links: the name a rename must replace for
// the link to go on pointing at the file.
std::filesystem::path ThroughLinks(const std::filesystem::path& path);

struct Replacement {
  std::filesystem::path target;  // the name to replace or create; not a symbolic link
  const LockedFile* current;     // what `target` holds now, whose metadata is kept; or null
  mode_t newFileMode = 0600;     // the permissions of a new file
};

struct Backup {
  std::filesystem::path path;  // the backup's name; what is there is replaced
  const LockedFile& original;  // copied whole, with its metadata and modification time
};

struct WrittenFiles {
  FileIdentity file;
  std::optional<FileIdentity> backup;
};

struct SafeWriteResult {
  std::error_code error;
  bool inBackup = false;  // the error came from making the backup
  WrittenFiles written;   // when there is no error
};

class TemporaryFile;
struct PreparedBackup;

// A new version of a file: its contents are written into fd(), then Commit() puts it in
// place. The backup copy is made meanwhile, on a thread of its own. Dropped without a
// commit, it leaves nothing behind.
class SafeWrite {
 public:
  SafeWrite(const Replacement& replacement, const std::optional<Backup>& backup);
  ~SafeWrite();
  SafeWrite(const SafeWrite&) = delete;
  SafeWrite& operator=(const SafeWrite&) = delete;

  // Why the temporary file could not be made; nothing is to be written then.
  const std::error_code& error() const { return error_; }
  // Appends to the new contents, and has the disk start on them.
  std::error_code Write(std::string_view bytes);

  // Flushes the new contents with their metadata, and waits for the backup copy: the
  // slow part of a commit, on any thread.
  std::error_code Prepare();
  bool PreparedBackupFailed() const { return backupFailed_; }
  // Renames the backup, then the file, into place; the renames are on the disk once
  // FlushFolders() has flushed their folders, which a batch may do for several files at once.
  SafeWriteResult Place();
  // The identity of the folders to flush: the file's, and the backup's when it is another.
  std::vector<FileIdentity> Folders() const;
  SafeWriteResult FlushFolders();
  SafeWriteResult Commit();

 private:
  Replacement replacement_;
  FileDescriptor folder_;
  std::unique_ptr<TemporaryFile> file_;
  std::error_code error_;
  off_t written_ = 0;
  bool backupFailed_ = false;
  std::unique_ptr<PreparedBackup> backup_;
  std::future<std::error_code> backupPrepared_;  // goes first, waiting for the copy
};

// The whole of the new contents at once.
SafeWriteResult WriteSafely(const Replacement& replacement,
                            std::initializer_list<std::string_view> contents,
                            const std::optional<Backup>& backup = std::nullopt);

// Whether this process may replace the file: it may write the folder and, as its effective
// user, the file; a file without any write permission is refused even to root.
std::error_code CheckReplaceable(const std::filesystem::path& target, const LockedFile* current);

// Renames the file at `path` to the first of "<path><suffix>", "<path><suffix>.2", … that
// does not exist yet, never replacing anything; returns the new name, or nothing.
std::optional<std::filesystem::path> SetAside(const std::filesystem::path& path,
                                              std::string_view suffix);

// Removes the named temporary files that runs of this program left in `folder` when their
// process died (unnamed ones never outlive it). Files of running processes stay.
void RemoveLeftovers(const std::filesystem::path& folder);

}  // namespace quobrel
