// One file's way through a batch, in three steps: planned on the batch's thread, where
// everything that can refuse it is looked at before anything on disk changes; converted
// on any thread into a temporary file and flushed, with its backup copy; then put in
// place on the thread that converted it. The batch concludes the files in the list's
// order, once the folders they were placed in are flushed.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/file_batch.h"
#include "batch/text_refusal.h"
#include "encoding/file_text.h"
#include "files/locked_file.h"
#include "files/safe_write.h"
#include "stream/worker_pool.h"

namespace quobrel {

// What one batch remembers of the files it has been through, by their identity.
struct BatchMemory {
  std::set<FileIdentity> sources;  // every file of the list, as it was when the batch began
  std::set<FileIdentity> handled;  // sources taken, and the files written
  std::set<FileIdentity> backupsMade;
  std::set<FileIdentity> foldersSwept;
  std::set<FileIdentity> recovered;  // backups put back where a dead run had taken them
  // When the batch began, as the file system tells time: a backup made since then is
  // another run's.
  timespec began{};
};

// What has become of a file: the status line to show, if any, and the report.
struct Verdict {
  std::optional<StatusLine> line;
  FileReport report;
};

// A file left as it was, its status line too, because the program is ending.
inline Verdict StoppedVerdict() { return {std::nullopt, {FileOutcome::Stopped, {}, {}}}; }

// The output folder, opened once for as long as it is the one asked for, so that a folder
// swapped for another, or for a link, during the batch cannot take the results elsewhere.
struct OutputFolder {
  std::filesystem::path path;
  EntryOpening opened;  // the folder itself, as "."
};

// A name in a folder, by the folder's identity: two runs that touch the same one must not
// be under way at once.
using NameInFolder = std::pair<FileIdentity, std::string>;

class FileRun {
 public:
  // Adds to `bytesConverted` what the conversion reads, from any thread.
  // Finds the file, and where in the output folder (if any) its result goes.
  FileRun(const ListedFile& file, const BatchCommand& command, const FileFormat& format,
          const OutputFolder* outputFolder, std::atomic<std::uint64_t>& bytesConverted);
  ~FileRun();

  // The names the run may replace or create, and its own.
  std::set<NameInFolder> NamesTouched() const;

  // Opens and checks the file; a verdict when it goes no further. `show` shows a step's
  // status and returns false when the program is ending.
  using Show = std::function<bool(FileStatus status)>;
  [[nodiscard]] std::optional<Verdict> Plan(BatchMemory& memory, const Show& show);
  // Whether the file is small enough to be converted beside others.
  bool Small() const;
  // Its size, once planned.
  std::uint64_t Size() const;

  // Reads, converts and writes the new contents and the backup copy, flushed, with the
  // pool's threads; a verdict when the file goes no further. `show` as above; `keepGoing`
  // is asked while it waits.
  [[nodiscard]] std::optional<Verdict> Convert(WorkerPool& pool, const Show& show,
                                               const std::function<bool()>& keepGoing);

  // Puts the converted file in place, on any thread (in a dry run, only says so); its
  // folders are flushed with the next two, which a batch may do for several files at once.
  [[nodiscard]] Verdict Place();
  // The folder a placed file is to flush: none when it was not placed.
  std::optional<FileIdentity> Folder() const;
  // A verdict when the flush fails.
  [[nodiscard]] std::optional<Verdict> FlushFolders();
  // Notes what the run wrote, on the batch's thread.
  void Remember(BatchMemory& memory) const;

 private:
  struct Destination;
  // The output name, through the folders on the way, made or not.
  EntryOpening OutputEntry(bool makeFolders);
  [[nodiscard]] std::optional<Verdict> Destine(LockedFile& source, BatchMemory& memory);
  [[nodiscard]] std::optional<Verdict> Survey(WorkerPool& pool,
                                              const std::function<bool()>& keepGoing);
  [[nodiscard]] std::optional<Verdict> DestineBackup(BatchMemory& memory);
  [[nodiscard]] std::optional<Verdict> Refused(const StreamOutcome& streamed);
  // Whether the file is as it was opened; ChangedMeanwhile when not.
  [[nodiscard]] std::error_code Unchanged() const;
  // The refusal, unless the file was changed meanwhile, which explains it better.
  Verdict ChangedOr(Verdict refusal) const;
  // Whether `bytes`, the next of the result, are the same as the source's at that place.
  [[nodiscard]] bool SameAsSource(std::string_view bytes);
  Verdict RefusedSource(const LockedFile::Opening& opening);
  Verdict RefusedTarget(const LockedFile::Opening& opening);
  Verdict Fail(FileStatus status, Reason reason) const;
  Verdict Fail(const std::error_code& error, bool inBackup = false) const;
  Verdict Fail(const TextRefusal& refusal) const;
  Verdict Done(FileStatus status, FileOutcome outcome) const;
  // The verdict, with what the run has found of the file, on the file's line.
  Verdict Concluded(StatusLine line, FileReport report) const;

  const std::filesystem::path path_;
  const std::filesystem::path name_;
  EntryOpening located_;         // the file, through the links it may be reached by
  EntryOpening outputFolderAt_;  // when there is an output folder
  std::optional<FolderEntry> outputRoot_;
  std::filesystem::path outputPath_;  // below it
  bool foldersToMake_ = false;        // on the way to the output name
  const BatchCommand& command_;
  const FileFormat& format_;
  std::atomic<std::uint64_t>& bytesConverted_;

  std::optional<LockedFile> source_;
  std::unique_ptr<Destination> destination_;
  FileCommand fileCommand_;
  SurveyedText surveyed_;
  bool read_ = false;  // surveyed, and found readable
  std::unique_ptr<SafeWrite> write_;
  std::size_t count_ = 0;
  bool counted_ = false;
  bool unchanged_ = false;      // in place, the result is so far the same as the file
  std::uint64_t compared_ = 0;  // how much of it
  std::string sourceBytes_;
  std::optional<WrittenFiles> written_;
};

}  // namespace quobrel
