#include "batch/file_batch.h"

#include <sys/stat.h>

#include <new>
#include <set>
#include <stdexcept>

#include "batch/file_names.h"
#include "batch/file_text.h"
#include "batch/locked_file.h"
#include "batch/safe_write.h"
#include "batch/status_messages.h"

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
          BatchView& view, std::size_t index, BatchMemory& memory)
      : path_(path),
        name_(path.filename()),
        command_(command),
        format_(format),
        view_(view),
        index_(index),
        memory_(memory) {}

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
    std::u16string text;
    if (auto refusal = Read(source, text)) return *refusal;
    if (!Show(status::kConverting)) return {FileOutcome::Stopped, {}};
    BatchCommand::Result result = command_.run(std::move(text));
    const std::size_t count = result.count;
    if (command_.counted) {
      if (!Show(status::kCounting)) return {FileOutcome::Stopped, {}};
      if (count == 0) {
        Show(Counted(status::kNothingReplaced, 0));
        return {FileOutcome::NothingToDo, {}};
      }
    }
    const FileBytes encoded = WriteFileText(std::move(result.text), kind_);
    if (encoded.unencodableAt) {
      return Fail(status::kUnencodable, "the result has a character " +
                                            std::string(EncodingName(kind_.encoding)) +
                                            " cannot hold");
    }

    if (!Show(status::kStoring)) return {FileOutcome::Stopped, {}};
    if (auto refusal = Store(source, destination, encoded)) return *refusal;
    Show(command_.counted ? Counted(status::kFinishedCounted, count)
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

  // The file's text, as the commands take it.
  std::optional<FileReport> Read(const LockedFile& source, std::u16string& text) {
    std::string bytes;
    if (const std::error_code error =
            ReadAll(source.fd(), bytes, static_cast<std::size_t>(source.status().st_size)))
      return Fail(status::kCannotRead, error.message());
    FileText file = ReadFileText(bytes, format_);
    // Bytes read in the wrong encoding would come back as other characters: such a file is
    // left alone.
    switch (file.failure) {
      case FileText::Failure::Invalid:
        return Fail(status::kInvalidBytes, InvalidReason(file));
      case FileText::Failure::Undecided:
        return Fail(std::u16string(status::kUndecided) + u"(" + Names(file.encodings) + u")",
                    "cannot tell whether it is " + Utf8Names(file.encodings, " or ") +
                        "; name the encoding with --encoding");
      case FileText::Failure::NotRoundTrip:
        return Fail(status::kNotRoundTrip, "has codes that would be written back otherwise");
      case FileText::Failure::None:
        break;
    }
    std::string().swap(bytes);
    text = std::move(file.text);
    kind_ = std::move(file.kind);
    return std::nullopt;
  }

  std::optional<FileReport> Store(const LockedFile& source, const Destination& destination,
                                  const FileBytes& bytes) {
    RemoveLeftoversOnce(FolderOf(destination.target));
    std::optional<Backup> backup;
    if (destination.backup) {
      RemoveLeftoversOnce(FolderOf(*destination.backup));
      backup.emplace(Backup{*destination.backup, *destination.current});
    }
    const mode_t newFileMode = source.status().st_mode & 0777;
    const SafeWriteResult written =
        WriteSafely({destination.target, destination.current, newFileMode},
                    {bytes.byteOrderMark, bytes.body, bytes.finalLineBreak}, backup);
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

  static std::string InvalidReason(const FileText& file) {
    if (file.invalidAt) {
      return "not valid " + std::string(EncodingName(file.encodings.front())) + " (byte " +
             std::to_string(*file.invalidAt) + ")";
    }
    return "not valid " + Utf8Names(file.encodings, ", ") + "; name the encoding with --encoding";
  }

  FileReport Fail(std::u16string_view status, std::string reason) {
    view_.SetStatusLine(index_, {name_.native(), std::u16string(status)});
    return {FileOutcome::Failed, std::move(reason)};
  }

  const fs::path& path_;
  const fs::path name_;
  const BatchCommand& command_;
  const FileFormat& format_;
  FileKind kind_;
  BatchView& view_;
  const std::size_t index_;
  BatchMemory& memory_;
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
  std::vector<FileReport> reports;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    reports.push_back(view.Stopping() ? FileReport{FileOutcome::Stopped, {}}
                                      : FileRun(paths[i], command, format, view, i, memory).Run());
  }
  return reports;
}

}  // namespace quobrel
