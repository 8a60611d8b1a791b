#include "files/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <string>

#include "files/file_errors.h"
#include "files/system_calls.h"
#include "internal/backup.h"
#include "internal/kept_metadata.h"
#include "internal/placement.h"
#include "internal/temporary_file.h"

namespace quobrel {
namespace {

Failure<WriteFailure> FileFailed(std::error_code error) {
  return Failure(WriteFailure{error, WritePart::File});
}

Failure<WriteFailure> BackupFailed(std::error_code error) {
  return Failure(WriteFailure{error, WritePart::Backup});
}

}  // namespace

SafeWrite::SafeWrite(const Replacement& replacement, const std::optional<Backup>& backup)
    : replacement_(replacement) {
  file_ = std::make_unique<TemporaryFile>(replacement_.target.at());
  if (!*file_) {
    error_ = LastError();
    return;
  }
  if (backup) {
    backup_ = std::make_unique<PreparedBackup>();
    // A copy worth the while is made meanwhile, on a thread of its own; a link, or a small
    // copy, when it is needed; and where no thread can be had, then too.
    constexpr off_t kWorthAThread = 1 << 20;
    auto prepare = [prepared = backup_.get(), backup = *backup, into = replacement_.target.at()] {
      return prepared->Prepare(backup, into);
    };
    try {
      if (backup->original.status().st_size >= kWorthAThread)
        backupPrepared_ = std::async(std::launch::async, prepare);
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    if (!backupPrepared_.valid()) backupPrepared_ = std::async(std::launch::deferred, prepare);
  }
}

SafeWrite::~SafeWrite() {
  // A copy under way uses what this holds.
  if (backupPrepared_.valid() &&
      backupPrepared_.wait_for(std::chrono::seconds(0)) != std::future_status::deferred) {
    backupPrepared_.wait();
  }
}

std::error_code SafeWrite::Write(std::string_view bytes) {
  if (const std::error_code error = WriteAll(file_->fd(), bytes)) return error;
  // Written back from now on, the flush at the end of a large file has little left to wait
  // for; a small one is flushed at once anyway.
  constexpr off_t kLarge = off_t{1} << 20;
  const off_t from = written_;
  written_ += static_cast<off_t>(bytes.size());
  if (written_ >= kLarge) {
    Sys().syncFileRange(file_->fd(), from, static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
  }
  return {};
}

Result<void, WriteFailure> SafeWrite::Prepare() {
  if (error_) return FileFailed(error_);
  const int fd = file_->fd();
  if (replacement_.current) {
    if (const auto error = KeepMetadata(*replacement_.current, fd, false)) return FileFailed(error);
  } else {
    // The group the new file fell to is not given the permissions meant for another: it
    // gets what everyone gets.
    struct stat status;
    if (::fstat(fd, &status) != 0) return FileFailed(LastError());
    mode_t mode = replacement_.newFileMode;
    if (status.st_gid != replacement_.newFileGroup)
      mode = (mode & ~(S_ISGID | S_IRWXG)) | ((mode & S_IRWXO) << 3);
    if (Sys().fchmod(fd, mode) != 0) return FileFailed(LastError());
  }
  if (const auto error = Flush(fd)) return FileFailed(error);
  if (backup_) {
    if (const auto error = backupPrepared_.get()) return BackupFailed(error);
  }
  return {};
}

Result<WrittenFiles, WriteFailure> SafeWrite::Place() {
  TemporaryFile& file = *file_;
  const int folder = replacement_.target.at();
  const std::string& targetName = replacement_.target.name;
  WrittenFiles written;
  // Known before any name changes, so that a failure here leaves everything as it was.
  const std::optional<FileIdentity> identity = IdentityOf(file.fd());
  if (!identity) return FileFailed(LastError());
  written.file = *identity;
  if (!replacement_.current) {
    // A new file takes its name at once, and never one that appeared meanwhile.
    if (!file.Link(targetName)) {
      return FileFailed(errno == EEXIST ? std::make_error_code(std::errc::device_or_resource_busy)
                                        : LastError());
    }
    return written;
  }
  // Up to the backup's link and record, which change it, the file's change time tells any
  // change of another program's too.
  if (const auto error = replacement_.current->CheckUnchanged(folder, targetName, true))
    return FileFailed(error);
  if (backup_) written.backup = IdentityOf(backup_->file->fd());
  if (const auto error = file.Name()) return FileFailed(error);
  if (backup_) {
    if (const auto error = backup_->Place()) return BackupFailed(error);
  }
  // Nobody may have taken the backup's name from it meanwhile, or the file's last copy of
  // its contents would go with the rename.
  std::error_code error;
  if (backup_ && !backup_->InPlace()) error = FileError::BackupWrittenMeanwhile;
  if (!error) error = PutInPlace(folder, file.name(), targetName, *replacement_.current);
  if (error) {
    if (backup_) backup_->Undo();
    return FileFailed(error);
  }
  file.ForgetName();
  return written;
}

FileIdentity SafeWrite::Folder() const {
  return IdentityOf(replacement_.target.at()).value_or(FileIdentity{});
}

Result<void> SafeWrite::FlushFolders() {
  if (const std::error_code error = FlushFolder(replacement_.target.at())) return Failure(error);
  return {};
}

Result<WrittenFiles, WriteFailure> SafeWrite::Commit() {
  if (Result<void, WriteFailure> prepared = Prepare(); !prepared) return Failure(prepared.error());
  Result<WrittenFiles, WriteFailure> placed = Place();
  if (!placed) return placed;
  if (const Result<void> flushed = FlushFolders(); !flushed) return FileFailed(flushed.error());
  return placed;
}

Result<WrittenFiles, WriteFailure> WriteSafely(const Replacement& replacement,
                                               std::initializer_list<std::string_view> contents,
                                               const std::optional<Backup>& backup) {
  SafeWrite write(replacement, backup);
  if (write.error()) return FileFailed(write.error());
  for (std::string_view part : contents) {
    if (const auto error = write.Write(part)) return FileFailed(error);
  }
  return write.Commit();
}

std::error_code CheckReplaceable(const FolderEntry& target, const LockedFile* current) {
  if (::faccessat(target.at(), ".", W_OK | X_OK, AT_EACCESS) != 0) return LastError();
  if (!current) return {};
  const struct stat& status = current->status();
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
      ::faccessat(target.at(), target.name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
    return std::make_error_code(std::errc::permission_denied);
  }
  // Only root gives a file away; others keep a file their own, in a group of theirs.
  if (::geteuid() != 0) {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(
        std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    const bool inGroup = status.st_gid == ::getegid() ||
                         std::find(groups.begin(), groups.end(), status.st_gid) != groups.end();
    if (status.st_uid != ::geteuid() || !inGroup) return FileError::OwnerNotKept;
  }
  return {};
}

}  // namespace quobrel
