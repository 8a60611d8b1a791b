#include "batch/file_batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <new>
#include <set>
#include <stdexcept>

#include "batch/file_names.h"
#include "batch/file_text.h"
#include "batch/locked_file.h"
#include "batch/piece_stream.h"
#include "batch/posix_file.h"
#include "batch/safe_write.h"
#include "batch/status_messages.h"
#include "batch/worker_pool.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// What one batch remembers of the files it has been through, by their identity.
struct BatchMemory {
  std::set<FileIdentity> sources;  // every file of the list, as it was when the batch began
  std::set<FileIdentity> handled;  // sources taken, and the files written
  std::set<FileIdentity> backupsMade;
  std::set<FileIdentity> foldersSwept;
};

// Reads a file from `offset` on, leaving its descriptor's own offset alone.
ReadBytes ReaderAt(int fd, std::size_t offset) {
  return [fd, offset = static_cast<off_t>(offset)](char* buffer, std::size_t size) mutable {
    const ssize_t count = ::pread(fd, buffer, size, offset);
    if (count > 0) offset += count;
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

std::u16string Names(const std::vector<TextEncoding>& encodings) {
  const std::string names = Utf8Names(encodings, ", ");
  return {names.begin(), names.end()};  // the names are ASCII
}

std::u16string Counted(std::u16string_view status, std::size_t count) {
  const std::string digits = std::to_string(count);
  return std::u16string(status) + std::u16string(digits.begin(), digits.end()) + u")";
}

// One file's way through a batch. Everything that can refuse it is looked at before
// anything on disk changes; the result and the backup then go through the safe write.
class FileRun {
 public:
  FileRun(const fs::path& path, const BatchCommand& command, const FileFormat& format,
          BatchView& view, std::size_t index, BatchMemory& memory, WorkerPool& pool)
      : path_(path),
        name_(path.filename()),
        command_(command),
        format_(format),
        view_(view),
        index_(index),
        memory_(memory),
        pool_(pool) {}

  FileReport Run() {
    try {
      return Steps();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return Fail(status::kOutOfMemory, "not enough memory");
  }

 private:
  // Where a file's result goes, and what is there now.
  struct Destination {
    fs::path named;                        // the name the result goes by
    fs::path target;                       // the file that name stands for
    std::optional<LockedFile> heldTarget;  // an output file already there
    const LockedFile* current = nullptr;   // what the result replaces, if anything
    std::optional<fs::path> backup;        // where what it replaces is kept
  };

  FileReport Steps() {
    LockedFile::Opening opening = LockedFile::Open(path_);
    if (!opening.file) return RefusedSource(opening);
    const LockedFile& source = *opening.file;
    if (!memory_.handled.insert(source.identity()).second) {
      Show(status::kSameFile);
      return {FileOutcome::AlreadyDone, {}};
    }
    Destination destination;
    if (auto refusal = Destine(source, destination)) return *refusal;

    if (!Show(status::kReading)) return {FileOutcome::Stopped, {}};
    if (auto refusal = Survey(source)) return *refusal;
    if (!Show(status::kConverting)) return {FileOutcome::Stopped, {}};
    RemoveLeftoversOnce(FolderOf(destination.target));
    if (destination.backup) RemoveLeftoversOnce(FolderOf(*destination.backup));
    std::optional<Backup> backup;
    if (destination.backup) backup.emplace(Backup{*destination.backup, *destination.current});
    SafeWrite write({destination.target, destination.current, source.status().st_mode & 0777},
                    backup);
    if (write.error())
      return Fail(WriteFailureStatus(write.error(), false), write.error().message());
    const FileCommand fileCommand = command_.forFile();
    PieceReader reader(ReaderAt(source.fd(), textStart_), fileCommand.wholeText);
    const StreamOutcome streamed = StreamText(
        reader, pool_, kind_, fileCommand.run,
        [&write](std::string_view bytes) { return write.Write(bytes); },
        [this] { return KeepGoing(); });
    if (streamed.stopped) return {FileOutcome::Stopped, {}};
    if (auto refusal = Refused(streamed)) return *refusal;
    if (command_.counted) {
      if (!Show(status::kCounting)) return {FileOutcome::Stopped, {}};
      if (streamed.count == 0) {
        Show(Counted(status::kNothingReplaced, 0));
        return {FileOutcome::NothingToDo, {}};
      }
    }
    if (!Show(status::kStoring)) return {FileOutcome::Stopped, {}};
    if (auto refusal = Store(write)) return *refusal;
    Show(command_.counted ? Counted(status::kFinishedCounted, streamed.count)
                          : std::u16string(status::kFinished));
    return {FileOutcome::Converted, {}};
  }

  // Decided now, for this file: a change in the window applies from the next file on.
  // Everything that could refuse the file is looked at here, before any change.
  std::optional<FileReport> Destine(const LockedFile& source, Destination& destination) {
    const std::optional<fs::path> outputFolder = view_.OutputFolder();
    const bool inPlace = !outputFolder || IdentityAt(*outputFolder) == IdentityAt(FolderOf(path_));
    destination.named = inPlace ? path_ : *outputFolder / name_;
    destination.target = ThroughLinks(destination.named);
    destination.current = &source;
    if (!inPlace) {
      const std::optional<FileIdentity> there = IdentityAt(destination.target);
      if (!there) {
        destination.current = nullptr;
      } else if (*there != source.identity()) {
        if (memory_.handled.contains(*there))
          return Fail(status::kSharedOutput, "output name taken");
        // Written through, the output name would replace another file of the list.
        if (memory_.sources.contains(*there))
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
      if (there && memory_.backupsMade.contains(*there))
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

  // Reads the file through once for what its conversion must know first.
  std::optional<FileReport> Survey(const LockedFile& source) {
    FileSurvey survey(format_);
    char first[kUtf8ByteOrderMark.size()];
    const ssize_t got =
        RetryOnInterrupt([&] { return ::pread(source.fd(), first, sizeof first, 0); });
    if (got < 0) return Fail(status::kCannotRead, LastError().message());
    textStart_ = survey.TakeByteOrderMark(std::string_view(first, static_cast<std::size_t>(got)));
    if (survey.NextPlan().Any()) {
      PieceReader reader(ReaderAt(source.fd(), textStart_), false);
      const std::function<std::function<FileSurvey::Notes()>(Piece)> jobFor =
          [&survey](Piece piece) {
            return [piece = std::move(piece), plan = survey.NextPlan()] {
              return FileSurvey::Look(piece.bytes, plan);
            };
          };
      const std::function<bool(FileSurvey::Notes&)> add = [&survey](FileSurvey::Notes& notes) {
        survey.Add(notes);
        return survey.NextPlan().Any();
      };
      bool stopped = false;
      const std::function<bool()> waiting = [&] { return !(stopped = !KeepGoing()); };
      const std::error_code error = StreamPieces(reader, pool_, jobFor, add, waiting);
      if (stopped) return FileReport{FileOutcome::Stopped, {}};
      if (error) return Fail(status::kCannotRead, error.message());
    }
    const FileSurvey::Outcome outcome = survey.Finish(kind_);
    detected_ = outcome.detected;
    // Bytes read in the wrong encoding would come back as other characters: such a file is
    // left alone.
    switch (outcome.failure) {
      case TextFailure::Invalid:
        return Fail(status::kInvalidBytes, InvalidReason(outcome.encodings, std::nullopt));
      case TextFailure::Undecided:
        return Fail(std::u16string(status::kUndecided) + u"(" + Names(outcome.encodings) + u")",
                    "cannot tell whether it is " + Utf8Names(outcome.encodings, " or ") +
                        "; name the encoding with --encoding");
      default:
        return std::nullopt;
    }
  }

  // What failed in the conversion's stream, if anything.
  std::optional<FileReport> Refused(const StreamOutcome& streamed) {
    if (streamed.readError) return Fail(status::kCannotRead, streamed.readError.message());
    switch (streamed.failure) {
      case TextFailure::Invalid:
        // Told apart, the file was found to be in none of the encodings after all.
        return Fail(status::kInvalidBytes,
                    detected_ ? InvalidReason({std::begin(kAllEncodings), std::end(kAllEncodings)},
                                              std::nullopt)
                              : InvalidReason({kind_.encoding}, textStart_ + streamed.failedAt));
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

  std::optional<FileReport> Store(SafeWrite& write) {
    const SafeWriteResult written = write.Commit();
    if (written.error) {
      return Fail(WriteFailureStatus(written.error, written.inBackup), written.error.message());
    }
    memory_.handled.insert(written.written.file);
    if (written.written.backup) memory_.backupsMade.insert(*written.written.backup);
    return std::nullopt;
  }

  FileReport RefusedSource(const LockedFile::Opening& opening) {
    switch (opening.refusal) {
      case LockedFile::Refusal::NotFound:
        view_.SetStatusLine(index_, {path_.native(), std::u16string(status::kNotFound)});
        return {FileOutcome::NotFound, opening.error.message()};
      case LockedFile::Refusal::NotRegular:
        return Fail(status::kNotRegular, "not a regular file");
      case LockedFile::Refusal::InUse:
        return Fail(status::kInUse, "in use by another run");
      default:
        return Fail(status::kCannotRead, opening.error.message());
    }
  }

  FileReport RefusedTarget(const LockedFile::Opening& opening) {
    switch (opening.refusal) {
      case LockedFile::Refusal::NotRegular:
        return Fail(status::kCannotWrite, "the output name is not a regular file");
      case LockedFile::Refusal::InUse:
        return Fail(status::kInUse, "the output file is in use by another run");
      default:
        return Fail(status::kCannotWrite, opening.error.message());
    }
  }

  void RemoveLeftoversOnce(const fs::path& folder) {
    const std::optional<FileIdentity> identity = IdentityAt(folder);
    if (identity && memory_.foldersSwept.insert(*identity).second) RemoveLeftovers(folder);
  }

  // Shows the status and yields; false when the program is ending.
  bool Show(std::u16string_view status) {
    view_.SetStatusLine(index_, {name_.native(), std::u16string(status)});
    view_.Yield();
    return !view_.Stopping();
  }

  static std::string InvalidReason(const std::vector<TextEncoding>& encodings,
                                   std::optional<std::size_t> at) {
    if (at) {
      return "not valid " + std::string(EncodingName(encodings.front())) + " (byte " +
             std::to_string(*at) + ")";
    }
    return "not valid " + Utf8Names(encodings, ", ") + "; name the encoding with --encoding";
  }

  // Yields to the view; false when the program is ending.
  bool KeepGoing() {
    view_.Yield();
    return !view_.Stopping();
  }

  FileReport Fail(std::u16string_view status, std::string reason) {
    view_.SetStatusLine(index_, {name_.native(), std::u16string(status)});
    return {FileOutcome::Failed, std::move(reason)};
  }

  const fs::path& path_;
  const fs::path name_;
  const BatchCommand& command_;
  const FileFormat& format_;
  BatchView& view_;
  const std::size_t index_;
  BatchMemory& memory_;
  WorkerPool& pool_;
  FileKind kind_;
  std::size_t textStart_ = 0;  // after a byte-order mark
  bool detected_ = false;      // the encoding was told apart
};

}  // namespace

bool Succeeded(FileOutcome outcome) {
  return outcome == FileOutcome::Converted || outcome == FileOutcome::NothingToDo ||
         outcome == FileOutcome::AlreadyDone;
}

std::vector<FileReport> RunFileBatch(const std::vector<fs::path>& paths,
                                     const BatchCommand& command, const FileFormat& format,
                                     BatchView& view) {
  BatchMemory memory;
  for (const fs::path& path : paths) {
    if (const std::optional<FileIdentity> identity = IdentityAt(path))
      memory.sources.insert(*identity);
  }
  WorkerPool pool;
  std::vector<FileReport> reports;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    reports.push_back(view.Stopping()
                          ? FileReport{FileOutcome::Stopped, {}}
                          : FileRun(paths[i], command, format, view, i, memory, pool).Run());
  }
  return reports;
}

}  // namespace quobrel
