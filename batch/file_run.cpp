#include "batch/file_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <iterator>
#include <new>
#include <stdexcept>

#include "batch/file_names.h"
#include "batch/piece_stream.h"
#include "batch/posix_file.h"
#include "batch/status_messages.h"
#include "batch/text_stream.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Reads a file from `offset` on, leaving its descriptor's own offset alone.
ReadBytes ReaderAt(int fd, std::size_t offset) {
  return [fd, offset = static_cast<off_t>(offset)](char* buffer, std::size_t size) mutable {
    const ssize_t count = ::pread(fd, buffer, size, offset);
    if (count > 0) offset += count;
    return count;
  };
}

// The same, adding what it reads to `total`.
ReadBytes CountingReaderAt(int fd, std::size_t offset, std::atomic<std::uint64_t>& total) {
  return [read = ReaderAt(fd, offset), &total](char* buffer, std::size_t size) {
    const ssize_t count = read(buffer, size);
    if (count > 0) total.fetch_add(static_cast<std::uint64_t>(count), std::memory_order_relaxed);
    return count;
  };
}

std::optional<FileIdentity> IdentityAt(const fs::path& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity::Of(status);
}

std::u16string_view WriteFailureStatus(const std::error_code& error, bool inBackup) {
  switch (error.value()) {
    case ENOSPC:
    case EDQUOT:
      return status::kDiskFull;
    case EFBIG:
      return status::kTooLarge;
    case EIO:
      return status::kIoError;
    case EBUSY:  // changed by another program meanwhile
      return status::kInUse;
  }
  return inBackup ? status::kCannotBackUp : status::kCannotWrite;
}

// The encodings' names, one after the other.
std::string Utf8Names(const std::vector<TextEncoding>& encodings, std::string_view separator) {
  std::string names;
  for (TextEncoding encoding : encodings) {
    if (!names.empty()) names += separator;
    names += EncodingName(encoding);
  }
  return names;
}

std::u16string EncodingNames(const std::vector<TextEncoding>& encodings) {
  const std::string names = Utf8Names(encodings, ", ");
  return {names.begin(), names.end()};  // the names are ASCII
}

std::u16string Counted(std::u16string_view status, std::size_t count) {
  const std::string digits = std::to_string(count);
  return std::u16string(status) + std::u16string(digits.begin(), digits.end()) + u")";
}

std::string InvalidReason(const std::vector<TextEncoding>& encodings) {
  return "not valid " + Utf8Names(encodings, ", ") + "; name the encoding with --encoding";
}

// A file's name in its folder, by the folder's identity.
std::optional<NameInFolder> NameOf(const fs::path& path) {
  const std::optional<FileIdentity> folder = IdentityAt(FolderOf(path));
  if (!folder) return std::nullopt;
  return NameInFolder{*folder, path.filename().native()};
}

}  // namespace

// Where a file's result goes, and what is there now.
struct FileRun::Destination {
  fs::path named;                        // the name the result goes by
  fs::path target;                       // the file that name stands for
  std::optional<LockedFile> heldTarget;  // an output file already there
  const LockedFile* current = nullptr;   // what the result replaces, if anything
  std::optional<fs::path> backup;        // where what it replaces is kept
};

FileRun::FileRun(fs::path path, const BatchCommand& command, const FileFormat& format,
                 std::optional<fs::path> outputFolder, std::atomic<std::uint64_t>& bytesConverted)
    : path_(std::move(path)),
      name_(path_.filename()),
      command_(command),
      format_(format),
      outputFolder_(std::move(outputFolder)),
      bytesConverted_(bytesConverted),
      destination_(std::make_unique<Destination>()) {
  const bool inPlace = !outputFolder_ || IdentityAt(*outputFolder_) == IdentityAt(FolderOf(path_));
  destination_->named = inPlace ? path_ : *outputFolder_ / name_;
  destination_->target = ThroughLinks(destination_->named);
}

FileRun::~FileRun() = default;

std::set<NameInFolder> FileRun::NamesTouched() const {
  std::set<NameInFolder> names;
  for (const fs::path& path : {ThroughLinks(path_), destination_->target,
                               fs::path(BackupName(destination_->named.native()))}) {
    if (std::optional<NameInFolder> name = NameOf(path)) names.insert(std::move(*name));
  }
  return names;
}

bool FileRun::Small() const {
  // Beside seven others, up to a few pieces each on one thread.
  constexpr off_t kSmallFile = off_t{1} << 20;
  return source_ && source_->status().st_size <= kSmallFile;
}

std::optional<Verdict> FileRun::Plan(BatchMemory& memory, const Show& show) {
  LockedFile::Opening opening = LockedFile::Open(path_);
  if (!opening.file) return RefusedSource(opening);
  const LockedFile& source = source_.emplace(std::move(*opening.file));
  if (!memory.handled.insert(source.identity()).second)
    return Done(status::kSameFile, FileOutcome::AlreadyDone);
  if (auto refusal = Destine(source, memory)) return refusal;
  for (const fs::path& folder : {FolderOf(destination_->target), FolderOf(destination_->named)}) {
    const std::optional<FileIdentity> identity = IdentityAt(folder);
    if (identity && !command_.dryRun && memory.foldersSwept.insert(*identity).second)
      RemoveLeftovers(folder);
  }
  // Taken now: a change in the window applies from the next file on.
  fileCommand_ = command_.forFile();
  if (!show(status::kReading)) return StoppedVerdict();
  return std::nullopt;
}

// Everything that could refuse the file is looked at here, before any change.
std::optional<Verdict> FileRun::Destine(const LockedFile& source, BatchMemory& memory) {
  Destination& destination = *destination_;
  destination.current = &source;
  if (destination.named != path_) {
    const std::optional<FileIdentity> there = IdentityAt(destination.target);
    if (!there) {
      destination.current = nullptr;
    } else if (*there != source.identity()) {
      if (memory.handled.contains(*there)) return Fail(status::kSharedOutput, "output name taken");
      // Written through, the output name would replace another file of the list.
      if (memory.sources.contains(*there))
        return Fail(status::kOutputIsSource, "the output name is another file of the list");
      LockedFile::Opening opening = LockedFile::Open(destination.target);
      if (!opening.file) return RefusedTarget(opening);
      destination.current = &destination.heldTarget.emplace(std::move(*opening.file));
    }
  }
  // In place the source is kept; into a folder, a file already there.
  if (destination.current) {
    destination.backup = BackupName(destination.named.native());
    const std::optional<FileIdentity> there = IdentityAt(*destination.backup);
    if (there == destination.current->identity())
      return Fail(status::kBackupIsFile, "it is its own backup");
    if (there && memory.backupsMade.contains(*there))
      return Fail(status::kSharedBackup, "backup name taken");
  }
  if (const std::error_code error = CheckReplaceable(destination.target, destination.current)) {
    const bool forbidden = error == std::errc::permission_denied ||
                           error == std::errc::operation_not_permitted ||
                           error == std::errc::read_only_file_system;
    return Fail(forbidden ? status::kNotWritable : status::kCannotWrite, error.message());
  }
  return std::nullopt;
}

std::optional<Verdict> FileRun::Convert(WorkerPool& pool, const Show& show,
                                        const std::function<bool()>& keepGoing) {
  try {
    if (auto refusal = Survey(pool, keepGoing)) return refusal;
    if (!show(status::kConverting)) return StoppedVerdict();
    if (!command_.dryRun) {
      const Destination& destination = *destination_;
      std::optional<Backup> backup;
      if (destination.backup) backup.emplace(Backup{*destination.backup, *destination.current});
      write_ = std::make_unique<SafeWrite>(
          Replacement{destination.target, destination.current, source_->status().st_mode & 0777},
          backup);
      if (const std::error_code error = write_->error())
        return Fail(WriteFailureStatus(error, false), error.message());
    }
    PieceReader reader(CountingReaderAt(source_->fd(), textStart_, bytesConverted_));
    const StreamOutcome streamed = StreamText(
        reader, pool, kind_, fileCommand_,
        [this](std::string_view bytes) {
          return write_ ? write_->Write(bytes) : std::error_code();
        },
        keepGoing);
    if (streamed.stopped) return StoppedVerdict();
    if (auto refusal = Refused(streamed)) return refusal;
    count_ = streamed.count;
    if (command_.counted) {
      if (!show(status::kCounting)) return StoppedVerdict();
      if (count_ == 0) return Done(Counted(status::kNothingReplaced, 0), FileOutcome::NothingToDo);
    }
    if (!write_) return std::nullopt;
    // A large file's flush can take a while: it goes on another thread, the window on this.
    std::future<std::error_code> prepared = pool.Submit([this] { return write_->Prepare(); });
    while (prepared.wait_for(kWaitStep) != std::future_status::ready) keepGoing();
    if (const std::error_code error = prepared.get()) {
      return Fail(WriteFailureStatus(error, write_->PreparedBackupFailed()), error.message());
    }
    return std::nullopt;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return Fail(status::kOutOfMemory, "not enough memory");
}

// Reads the file through once for what its conversion must know first.
std::optional<Verdict> FileRun::Survey(WorkerPool& pool, const std::function<bool()>& keepGoing) {
  FileSurvey survey(format_);
  char first[kUtf8ByteOrderMark.size()];
  const ssize_t got =
      RetryOnInterrupt([&] { return ::pread(source_->fd(), first, sizeof first, 0); });
  if (got < 0) return Fail(status::kCannotRead, LastError().message());
  textStart_ = survey.TakeByteOrderMark(std::string_view(first, static_cast<std::size_t>(got)));
  if (survey.NextPlan().Any()) {
    PieceReader reader(ReaderAt(source_->fd(), textStart_));
    const std::function<std::function<FileSurvey::Notes()>(Piece)> jobFor = [&survey](Piece piece) {
      return [piece = std::move(piece), plan = survey.NextPlan()] {
        return FileSurvey::Look(piece.bytes, plan);
      };
    };
    const std::function<bool(FileSurvey::Notes&)> add = [&survey](FileSurvey::Notes& notes) {
      survey.Add(notes);
      return survey.NextPlan().Any();
    };
    bool stopped = false;
    const std::function<bool()> waiting = [&] { return !(stopped = !keepGoing()); };
    const std::error_code error = StreamPieces(reader, pool, jobFor, add, waiting);
    if (stopped) return StoppedVerdict();
    if (error) return Fail(status::kCannotRead, error.message());
  }
  const FileSurvey::Outcome outcome = survey.Finish(kind_);
  detected_ = outcome.detected;
  // Bytes read in the wrong encoding would come back as other characters: such a file is
  // left alone.
  switch (outcome.failure) {
    case TextFailure::Invalid:
      return Fail(status::kInvalidBytes, InvalidReason(outcome.encodings));
    case TextFailure::Undecided:
      return Fail(
          std::u16string(status::kUndecided) + u"(" + EncodingNames(outcome.encodings) + u")",
          "cannot tell whether it is " + Utf8Names(outcome.encodings, " or ") +
              "; name the encoding with --encoding");
    default:
      return std::nullopt;
  }
}

// What failed in the conversion's stream, if anything.
std::optional<Verdict> FileRun::Refused(const StreamOutcome& streamed) {
  if (streamed.readError) return Fail(status::kCannotRead, streamed.readError.message());
  switch (streamed.failure) {
    case TextFailure::Invalid:
      // Told apart, the file was found to be in none of the encodings after all.
      return Fail(status::kInvalidBytes,
                  detected_ ? InvalidReason({std::begin(kAllEncodings), std::end(kAllEncodings)})
                            : "not valid " + std::string(EncodingName(kind_.encoding)) + " (" +
                                  Where(streamed.invalidAt, textStart_ + streamed.failedAt) + ")");
    case TextFailure::NotRoundTrip:
      return Fail(status::kNotRoundTrip, "has codes that would be written back otherwise");
    case TextFailure::Unencodable:
      return Fail(status::kUnencodable, "the result has a character " +
                                            std::string(EncodingName(kind_.encoding)) +
                                            " cannot hold");
    default:
      break;
  }
  if (streamed.writeError) {
    return Fail(WriteFailureStatus(streamed.writeError, false), streamed.writeError.message());
  }
  return std::nullopt;
}

Verdict FileRun::Place() {
  if (write_) {
    const SafeWriteResult written = write_->Place();
    if (written.error) {
      return Fail(WriteFailureStatus(written.error, written.inBackup), written.error.message());
    }
    written_ = written.written;
  }
  return Done(command_.counted ? Counted(status::kFinishedCounted, count_)
                               : std::u16string(status::kFinished),
              FileOutcome::Converted);
}

std::vector<FileIdentity> FileRun::Folders() const {
  return written_ ? write_->Folders() : std::vector<FileIdentity>();
}

std::optional<Verdict> FileRun::FlushFolders() {
  const SafeWriteResult flushed = write_->FlushFolders();
  if (!flushed.error) return std::nullopt;
  return Fail(WriteFailureStatus(flushed.error, flushed.inBackup), flushed.error.message());
}

void FileRun::Remember(BatchMemory& memory) const {
  if (!written_) return;
  memory.handled.insert(written_->file);
  if (written_->backup) memory.backupsMade.insert(*written_->backup);
}

Verdict FileRun::RefusedSource(const LockedFile::Opening& opening) {
  switch (opening.refusal) {
    case LockedFile::Refusal::NotFound:
      return {StatusLine{path_.native(), std::u16string(status::kNotFound)},
              {FileOutcome::NotFound, opening.error.message()}};
    case LockedFile::Refusal::NotRegular:
      return Fail(status::kNotRegular, "not a regular file");
    case LockedFile::Refusal::InUse:
      return Fail(status::kInUse, "in use by another run");
    default:
      return Fail(status::kCannotRead, opening.error.message());
  }
}

Verdict FileRun::RefusedTarget(const LockedFile::Opening& opening) {
  switch (opening.refusal) {
    case LockedFile::Refusal::NotRegular:
      return Fail(status::kCannotWrite, "the output name is not a regular file");
    case LockedFile::Refusal::InUse:
      return Fail(status::kInUse, "the output file is in use by another run");
    default:
      return Fail(status::kCannotWrite, opening.error.message());
  }
}

Verdict FileRun::Fail(std::u16string_view status, std::string reason) const {
  return {StatusLine{name_.native(), std::u16string(status)},
          {FileOutcome::Failed, std::move(reason)}};
}

Verdict FileRun::Done(std::u16string_view status, FileOutcome outcome) const {
  return {StatusLine{name_.native(), std::u16string(status)}, {outcome, {}}};
}

}  // namespace quobrel
