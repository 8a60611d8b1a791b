// One file's way through a batch, in three steps: planned on the batch's thread, where
// everything that can refuse it is looked at before anything on disk changes; converted
// on any thread into a temporary file and flushed, with its backup copy; then put in
// place on the batch's thread, in the list's order.
#pragma once

#include <atomic>
#include <cstdint>
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
#include "batch/file_text.h"
#include "batch/locked_file.h"
#include "batch/safe_write.h"
#include "batch/worker_pool.h"

namespace quobrel {

// What one batch remembers of the files it has been through, by their identity.
struct BatchMemory {
  std::set<FileIdentity> sources;  // every file of the list, as it was when the batch began
  std::set<FileIdentity> handled;  // sources taken, and the files written
  std::set<FileIdentity> backupsMade;
  std::set<FileIdentity> foldersSwept;
};

// What has become of a file: the status line to show, if any, and the report.
struct Verdict {
  std::optional<StatusLine> line;
  FileReport report;
};

// A file left as it was, its status line too, because the program is ending.
inline Verdict StoppedVerdict() { return {std::nullopt, {FileOutcome::Stopped, {}}}; }

// A name in a folder, by the folder's identity: two runs that touch the same one must not
// be under way at once.
using NameInFolder = std::pair<FileIdentity, std::string>;

class FileRun {
 public:
  // Adds to `bytesConverted` what the conversion reads, from any thread.
  FileRun(std::filesystem::path path, const BatchCommand& command, const FileFormat& format,
          std::optional<std::filesystem::path> outputFolder,
          std::atomic<std::uint64_t>& bytesConverted);
  ~FileRun();

  // The names the run may replace or create, and its own.
  std::set<NameInFolder> NamesTouched() const;

  // Opens and checks the file; a verdict when it goes no further. `show` shows a step's
  // status and returns false when the program is ending.
  using Show = std::function<bool(std::u16string_view status)>;
  std::optional<Verdict> Plan(BatchMemory& memory, const Show& show);
  // Whether the file is small enough to be converted beside others.
  bool Small() const;

  // Reads, converts and writes the new contents and the backup copy, flushed, with the
  // pool's threads; a verdict when the file goes no further. `show` as above; `keepGoing`
  // is asked while it waits.
  std::optional<Verdict> Convert(WorkerPool& pool, const Show& show,
                                 const std::function<bool()>& keepGoing);

  // Puts the converted file in place, on any thread (in a dry run, only says so); its
  // folders are flushed with the next two, which a batch may do for several files at once.
  Verdict Place();
  // The folders a placed file is to flush: none when it was not placed.
  std::vector<FileIdentity> Folders() const;
  // A verdict when the flush fails.
  std::optional<Verdict> FlushFolders();
  // Notes what the run wrote, on the batch's thread.
  void Remember(BatchMemory& memory) const;

 private:
  struct Destination;
  std::optional<Verdict> Destine(const LockedFile& source, BatchMemory& memory);
  std::optional<Verdict> Survey(WorkerPool& pool, const std::function<bool()>& keepGoing);
  std::optional<Verdict> Refused(const StreamOutcome& streamed);
  Verdict RefusedSource(const LockedFile::Opening& opening);
  Verdict RefusedTarget(const LockedFile::Opening& opening);
  Verdict Fail(std::u16string_view status, std::string reason) const;
  Verdict Done(std::u16string_view status, FileOutcome outcome) const;

  const std::filesystem::path path_;
  const std::filesystem::path name_;
  const BatchCommand& command_;
  const FileFormat& format_;
  const std::optional<std::filesystem::path> outputFolder_;
  std::atomic<std::uint64_t>& bytesConverted_;

  std::optional<LockedFile> source_;
  std::unique_ptr<Destination> destination_;
  FileCommand fileCommand_;
  FileKind kind_;
  std::size_t textStart_ = 0;  // after a byte-order mark
  bool detected_ = false;      // the encoding was told apart
  std::unique_ptr<SafeWrite> write_;
  std::size_t count_ = 0;
  std::optional<WrittenFiles> written_;
};

}  // namespace quobrel
