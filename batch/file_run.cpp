#include "internal/file_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <iterator>
#include <new>
#include <stdexcept>

#include "batch/text_refusal.h"
#include "files/file_errors.h"
#include "files/file_names.h"
#include "files/posix_file.h"
#include "files/system_calls.h"
#include "stream/piece_stream.h"
#include "stream/text_stream.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Reads a file from `offset` on, adding what it reads to `total`.
ReadBytes CountingReaderAt(int fd, std::size_t offset, std::atomic<std::uint64_t>& total) {
  return [read = ReaderAt(fd, offset), &total](char* buffer, std::size_t size) {
    const ssize_t count = read(buffer, size);
    if (count > 0) total.fetch_add(static_cast<std::uint64_t>(count), std::memory_order_relaxed);
    return count;
  };
}

FileStatus FailureStatus(const std::error_code& error, bool inBackup) {
  if (error.category() == FileErrorCategory()) {
    switch (static_cast<FileError>(error.value())) {
      case FileError::LinkToOthers:
      case FileError::LinkOutOfTree:
        return FileStatus::LinkRefused;
      case FileError::ChangedMeanwhile:
        return FileStatus::ChangedMeanwhile;
      case FileError::BackupOfAnotherFile:
        return FileStatus::BackupOfAnotherFile;
      case FileError::BackupWrittenMeanwhile:
        return FileStatus::InUse;
      case FileError::OwnerNotKept:
        return FileStatus::OwnerNotKept;
      case FileError::Binary:
        return FileStatus::Binary;
    }
  }
  switch (error.value()) {
    case ENOSPC:
    case EDQUOT:
      return FileStatus::DiskFull;
    case EFBIG:
      return FileStatus::TooLarge;
    case EIO:
      return FileStatus::IoError;
    case EBUSY:  // its name taken by another program meanwhile
      return FileStatus::InUse;
    case ELOOP:  // a link that leads round in a circle, or too far
      return FileStatus::LinkRefused;
    case EACCES:
    case EPERM:
    case EROFS:
      if (!inBackup) return FileStatus::NotWritable;
  }
  return inBackup ? FileStatus::CannotBackUp : FileStatus::CannotWrite;
}

// The permissions a new file is given: those of its source, less what the user's umask
// takes from every new file.
mode_t NewFileMode(const struct stat& source) {
  static const mode_t umask = [] {
    // Read, not set and set back, which would race with other threads creating files.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("Umask:"))
        return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return mode_t{022};
  }();
  return source.st_mode & 0777 & ~umask;
}

bool NotBefore(const timespec& time, const timespec& since) {
  return time.tv_sec != since.tv_sec ? time.tv_sec > since.tv_sec : time.tv_nsec >= since.tv_nsec;
}

std::optional<NameInFolder> NameOf(const FolderEntry& entry) {
  const std::optional<FileIdentity> folder = IdentityOf(entry.at());
  if (!folder) return std::nullopt;
  return NameInFolder{*folder, entry.name};
}

}  // namespace

// Where a file's result goes, and what is there now.
struct FileRun::Destination {
  std::optional<FolderEntry> target;     // the name the result takes, through links
  std::optional<LockedFile> heldTarget;  // an output file already there
  LockedFile* current = nullptr;         // what the result replaces, if anything
  std::optional<Backup> backup;          // where what it replaces is kept
};

FileRun::FileRun(const ListedFile& file, const BatchCommand& command, const FileFormat& format,
                 const OutputFolder* outputFolder, std::atomic<std::uint64_t>& bytesConverted)
    : path_(file.path),
      name_(path_.filename()),
      located_(file.locate()),
      command_(command),
      format_(format),
      bytesConverted_(bytesConverted),
      destination_(std::make_unique<Destination>()) {
  if (!located_.entry) return;
  if (!outputFolder) {
    destination_->target = located_.entry;
    return;
  }
  if (!outputFolder->opened.entry) {
    outputFolderAt_.error = outputFolder->opened.error;
    return;
  }
  // Folders are made only for a result that is written, once everything else is checked.
  outputRoot_ = outputFolder->opened.entry;
  outputPath_ = file.outputPath.empty() ? name_ : file.outputPath;
  outputFolderAt_ = OutputEntry(false);
  destination_->target = outputFolderAt_.entry;
}

EntryOpening FileRun::OutputEntry(bool makeFolders) {
  EntryOpening entry = EntryBelow(*outputRoot_, outputPath_, makeFolders, &foldersToMake_);
  // An output name that is a link is written through only as the rule of links allows.
  if (entry.entry && !foldersToMake_) entry = FollowLinks(std::move(*entry.entry));
  return entry;
}

FileRun::~FileRun() = default;

std::set<NameInFolder> FileRun::NamesTouched() const {
  std::set<NameInFolder> names;
  if (!located_.entry || !destination_->target) return names;
  const FolderEntry& target = *destination_->target;
  for (const FolderEntry& entry :
       {*located_.entry, target, FolderEntry{target.folder, BackupName(target.name)}}) {
    if (std::optional<NameInFolder> name = NameOf(entry)) names.insert(std::move(*name));
  }
  return names;
}

bool FileRun::Small() const {
  // Beside seven others, up to a few pieces each on one thread.
  constexpr std::uint64_t kSmallFile = std::uint64_t{1} << 20;
  return source_ && Size() <= kSmallFile;
}

std::uint64_t FileRun::Size() const {
  return source_ ? static_cast<std::uint64_t>(source_->status().st_size) : 0;
}

std::optional<Verdict> FileRun::Plan(BatchMemory& memory, const Show& show) {
  if (!located_.entry) {
    if (located_.error == std::errc::no_such_file_or_directory ||
        located_.error == std::errc::not_a_directory) {
      return Verdict{StatusLine{path_.native(), FileStatus::NotFound},
                     {FileOutcome::NotFound, ReasonOf(located_.error), located_.error}};
    }
    return Fail(located_.error);
  }
  if (!destination_->target) return Fail(outputFolderAt_.error);
  // What a run that died left in the folder is undone first, before the files are looked at.
  const std::optional<FileIdentity> folder = IdentityOf(destination_->target->at());
  if (folder && !command_.dryRun && memory.foldersSwept.insert(*folder).second) {
    for (const FileIdentity& backup : RecoverLeftovers(destination_->target->at()))
      memory.recovered.insert(backup);
  }
  LockedFile::Opening opening = LockedFile::Open(*located_.entry);
  if (!opening.file) return RefusedSource(opening);
  LockedFile& source = source_.emplace(std::move(*opening.file));
  if (!memory.handled.insert(source.identity()).second)
    return Done(FileStatus::SameFile, FileOutcome::AlreadyDone);
  if (auto refusal = Destine(source, memory)) return refusal;
  if (auto refusal = DestineBackup(memory)) return refusal;
  // Taken now: a change in the window applies from the next file on.
  fileCommand_ = command_.forFile();
  if (!show(FileStatus::Reading)) return StoppedVerdict();
  return std::nullopt;
}

// Everything that could refuse the file is looked at here, before any change.
std::optional<Verdict> FileRun::Destine(LockedFile& source, BatchMemory& memory) {
  Destination& destination = *destination_;
  const FolderEntry& target = *destination.target;
  destination.current = &source;
  const std::optional<FileIdentity> there = IdentityAt(target);
  if (!there) {
    destination.current = nullptr;
  } else if (*there != source.identity()) {
    if (memory.handled.contains(*there))
      return Fail(FileStatus::SharedOutput, {English("output name taken")});
    // Written through, the output name would replace another file of the list.
    if (memory.sources.contains(*there))
      return Fail(FileStatus::OutputIsSource,
                  {English("the output name is another file of the list")});
    LockedFile::Opening opening = LockedFile::Open(target);
    if (!opening.file) return RefusedTarget(opening);
    destination.current = &destination.heldTarget.emplace(std::move(*opening.file));
  }
  if (const std::error_code error = CheckReplaceable(target, destination.current))
    return Fail(error);
  return std::nullopt;
}

// In place the source is kept; into a folder, a file already there: beside it, never
// over the backup of another file or one another run has just made.
std::optional<Verdict> FileRun::DestineBackup(BatchMemory& memory) {
  Destination& destination = *destination_;
  if (!destination.current || command_.backups == BackupPolicy::None) return std::nullopt;
  const FolderEntry& target = *destination.target;
  const FolderEntry at{target.folder, BackupName(target.name)};
  std::optional<EarlierBackup> earlier = LookAtBackup(at);
  if (earlier && FileIdentity::Of(earlier->status) == destination.current->identity()) {
    if (!IsHalfMadeBackup(at, *destination.current, target.name))
      return Fail(FileStatus::BackupIsFile, {English("it is its own backup")});
    // Linked there by a run that died before it replaced the file: the name goes again.
    if (!command_.dryRun && !DropHalfMadeBackup(at, *destination.current)) return Fail(LastError());
    earlier.reset();
  }
  if (earlier) {
    if (!S_ISREG(earlier->status.st_mode))
      return Fail(FileStatus::CannotBackUp, {English("the backup name is not a regular file")});
    if (memory.backupsMade.contains(FileIdentity::Of(earlier->status)))
      return Fail(FileStatus::SharedBackup, {English("backup name taken")});
    if (earlier->record && *earlier->record != target.name)
      return Fail(FileError::BackupOfAnotherFile, true);
    if (NotBefore(earlier->status.st_ctim, memory.began) &&
        !memory.recovered.contains(FileIdentity::Of(earlier->status)))
      return Fail(FileError::BackupWrittenMeanwhile, true);
  }
  // What is no recorded backup may be all that is left of something: it is kept.
  const bool keepEarlier =
      earlier && (!earlier->record || command_.backups == BackupPolicy::Numbered);
  destination.backup.emplace(Backup{
      at.name, *destination.current, target.name,
      earlier ? std::optional(FileIdentity::Of(earlier->status)) : std::nullopt, keepEarlier});
  return std::nullopt;
}

std::optional<Verdict> FileRun::Convert(WorkerPool& pool, const Show& show,
                                        const std::function<bool()>& keepGoing) {
  try {
    if (auto refusal = Survey(pool, keepGoing)) return ChangedOr(std::move(*refusal));
    if (!show(FileStatus::Converting)) return StoppedVerdict();
    if (foldersToMake_ && !command_.dryRun) {
      const EntryOpening made = OutputEntry(true);
      if (!made.entry) return Fail(made.error);
      destination_->target = made.entry;
    }
    const Destination& destination = *destination_;
    if (!command_.dryRun) {
      write_ = std::make_unique<SafeWrite>(
          Replacement{*destination.target, destination.current, NewFileMode(source_->status()),
                      source_->status().st_gid},
          destination.backup);
      if (const std::error_code error = write_->error()) return Fail(error);
    }
    unchanged_ = destination.current == &*source_;
    PieceReader reader(CountingReaderAt(source_->fd(), surveyed_.textStart, bytesConverted_));
    const StreamOutcome streamed = StreamText(
        reader, pool, surveyed_.kind, fileCommand_,
        [this](std::string_view bytes) {
          unchanged_ = unchanged_ && SameAsSource(bytes);
          return write_ ? write_->Write(bytes) : std::error_code();
        },
        keepGoing);
    if (streamed.stopped) return StoppedVerdict();
    if (auto refusal = Refused(streamed)) return ChangedOr(std::move(*refusal));
    if (const std::error_code error = Unchanged()) return Fail(error);
    count_ = streamed.count;
    counted_ = true;
    if (command_.counted) {
      if (!show(FileStatus::Counting)) return StoppedVerdict();
      if (count_ == 0) return Done(FileStatus::NothingChanged, FileOutcome::NothingToDo);
    }
    // The same bytes again: neither the file nor its backup is touched.
    if (unchanged_ && compared_ == static_cast<std::uint64_t>(source_->status().st_size)) {
      write_.reset();
      return Done(FileStatus::NothingChanged, FileOutcome::NothingToDo);
    }
    if (!write_) return std::nullopt;
    // A large file's flush can take a while: it goes on another thread, the window on this.
    std::future<Result<void, WriteFailure>> prepared =
        pool.Submit([this] { return write_->Prepare(); });
    while (prepared.wait_for(kWaitStep) != std::future_status::ready) keepGoing();
    if (const Result<void, WriteFailure> done = prepared.get(); !done)
      return Fail(done.error().error, done.error().part == WritePart::Backup);
    return std::nullopt;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  const std::error_code noMemory = std::make_error_code(std::errc::not_enough_memory);
  return Concluded({.status = FileStatus::OutOfMemory},
                   {FileOutcome::Failed, ReasonOf(noMemory), noMemory});
}

// Reads the file through once for what its conversion must know first.
std::optional<Verdict> FileRun::Survey(WorkerPool& pool, const std::function<bool()>& keepGoing) {
  surveyed_ = SurveyText(source_->fd(), format_, pool, keepGoing);
  if (surveyed_.stopped) return StoppedVerdict();
  if (std::optional<TextRefusal> refusal = SurveyRefusal(surveyed_)) return Fail(*refusal);
  read_ = true;
  return std::nullopt;
}

// What failed in the conversion's stream, if anything.
std::optional<Verdict> FileRun::Refused(const StreamOutcome& streamed) {
  if (std::optional<TextRefusal> refusal = StreamRefusal(streamed, surveyed_))
    return Fail(*refusal);
  if (streamed.writeError) return Fail(streamed.writeError);
  return std::nullopt;
}

std::error_code FileRun::Unchanged() const {
  return source_->CheckUnchanged(located_.entry->at(), located_.entry->name, true);
}

Verdict FileRun::ChangedOr(Verdict refusal) const {
  // Bytes another program was writing meanwhile may read as anything: that is the reason.
  if (refusal.report.outcome != FileOutcome::Failed) return refusal;
  if (const std::error_code error = Unchanged()) return Fail(error);
  return refusal;
}

bool FileRun::SameAsSource(std::string_view bytes) {
  sourceBytes_.resize(bytes.size());
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t count = RetryOnInterrupt([&] {
      return Sys().pread(source_->fd(), sourceBytes_.data() + got, bytes.size() - got,
                         static_cast<off_t>(compared_ + got));
    });
    if (count <= 0) return false;
    got += static_cast<std::size_t>(count);
  }
  compared_ += bytes.size();
  return std::string_view(sourceBytes_) == bytes;
}

Verdict FileRun::Place() {
  if (write_) {
    const Result<WrittenFiles, WriteFailure> written = write_->Place();
    if (!written) return Fail(written.error().error, written.error().part == WritePart::Backup);
    written_ = *written;
  }
  return Done(FileStatus::Finished, FileOutcome::Converted);
}

std::optional<FileIdentity> FileRun::Folder() const {
  if (!written_) return std::nullopt;
  return write_->Folder();
}

std::optional<Verdict> FileRun::FlushFolders() {
  const Result<void> flushed = write_->FlushFolders();
  if (flushed) return std::nullopt;
  return Fail(flushed.error());
}

void FileRun::Remember(BatchMemory& memory) const {
  if (!written_) return;
  memory.handled.insert(written_->file);
  if (written_->backup) memory.backupsMade.insert(*written_->backup);
}

Verdict FileRun::RefusedSource(const LockedFile::Opening& opening) {
  switch (opening.refusal) {
    case LockedFile::Refusal::NotFound:
      return {StatusLine{path_.native(), FileStatus::NotFound},
              {FileOutcome::NotFound, ReasonOf(opening.error), opening.error}};
    case LockedFile::Refusal::NotRegular:
      return Fail(FileStatus::NotRegular, {English("not a regular file")});
    case LockedFile::Refusal::InUse:
      return Fail(FileStatus::InUse, {English("in use by another run")});
    default:
      return Fail(FileStatus::CannotRead, ReasonOf(opening.error));
  }
}

Verdict FileRun::RefusedTarget(const LockedFile::Opening& opening) {
  switch (opening.refusal) {
    case LockedFile::Refusal::NotRegular:
      return Fail(FileStatus::CannotWrite, {English("the output name is not a regular file")});
    case LockedFile::Refusal::InUse:
      return Fail(FileStatus::InUse, {English("the output file is in use by another run")});
    default:
      return Fail(FileStatus::CannotWrite, ReasonOf(opening.error));
  }
}

Verdict FileRun::Fail(FileStatus status, Reason reason) const {
  return Concluded({.status = status}, {FileOutcome::Failed, std::move(reason), {}});
}

Verdict FileRun::Fail(const std::error_code& error, bool inBackup) const {
  return Concluded({.status = FailureStatus(error, inBackup)},
                   {FileOutcome::Failed, ReasonOf(error), error});
}

Verdict FileRun::Fail(const TextRefusal& refusal) const {
  return Concluded({.status = refusal.status, .candidates = refusal.candidates}, refusal.Report());
}

// A replacement's status line tells its count once it has counted, on the file's end alone.
Verdict FileRun::Done(FileStatus status, FileOutcome outcome) const {
  StatusLine line{.status = status};
  if (command_.counted && counted_) line.count = count_;
  return Concluded(std::move(line), {outcome, {}, {}});
}

// The report tells the count once the command has counted: a refusal before says nothing
// of it.
Verdict FileRun::Concluded(StatusLine line, FileReport report) const {
  if (read_) report.encoding = surveyed_.kind.encoding;
  if (command_.counted && counted_) report.count = count_;
  line.name = name_.native();
  return {std::move(line), std::move(report)};
}

}  // namespace quobrel
