// The batches: a command run over each file of a work list, in place with an "old" backup
// or into an output folder. The window and quobrel-cli share it; they differ in their view.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/file_status.h"
#include "encoding/file_text.h"
#include "files/listed_file.h"
#include "files/reason.h"
#include "stream/text_stream.h"

namespace quobrel {

struct BatchProgress {
  std::size_t filesDone = 0;
  std::size_t files = 0;
  std::uint64_t bytesConverted = 0;  // of the files' text, read by the conversions so far
  // A large file, converted on its own: how far its conversion has read.
  struct File {
    std::size_t index = 0;
    std::uint64_t read = 0;
    std::uint64_t size = 0;
  };
  std::optional<File> file;
};

struct FileReport;

// What a batch shows and asks while it runs.
class BatchView {
 public:
  virtual ~BatchView() = default;
  // The status line of the work list's entry `index`, rewritten as the file passes through.
  virtual void SetStatusLine(std::size_t index, const StatusLine& line) = 0;
  // The output folder, or nothing to convert in place; asked for every file.
  virtual std::optional<std::filesystem::path> OutputFolder() = 0;
  // Lets the window handle its events.
  virtual void Yield() = 0;
  // The program is ending: the batch leaves the files not yet begun alone.
  virtual bool Stopping() = 0;
  // The user stopped the batch: the files not yet begun are left, each with its status line,
  // and so is the file under way unless it is small enough to be finished soon.
  virtual bool Cancelled() { return false; }
  // How far the batch has come, told before each yield and after each file.
  virtual void ShowProgress(const BatchProgress& /*progress*/) {}
  // A file is done with: its status line is final. Told as each is, not in the list's order.
  virtual void Concluded(std::size_t /*index*/, const FileReport& /*report*/) {}
};

// What becomes of the backup a file already has when it gets a new one.
enum class BackupPolicy {
  Replace,   // the new one takes its name ("memo.old"), unless it is no recorded backup
  Numbered,  // it is kept under the next number ("memo.old.~1~")
  None,      // no backup is made at all
};

struct BatchCommand {
  // Asked on the batch's thread as each file begins: a change in the window applies from
  // the next file on.
  std::function<FileCommand()> forFile;
  // Replacement: a count on the status line, and a file without replacement left alone.
  bool counted = false;
  // Every file checked and converted as it would be, and none written.
  bool dryRun = false;
  BackupPolicy backups = BackupPolicy::Replace;
};

enum class FileOutcome {
  Converted,    // written
  NothingToDo,  // no replacement, or a result the same as the file: left as it was
  AlreadyDone,  // the same file came earlier in the list
  NotFound,
  Failed,     // left as it was; the status line says why
  Stopped,    // not begun, or left as it was, because the program is ending
  Cancelled,  // not begun, or left as it was, because the user stopped the batch
};

struct FileReport {
  FileOutcome outcome = FileOutcome::Stopped;
  Reason reason;                              // why it failed ("Permission denied")
  std::error_code error;                      // and as an error, where one says it
  std::optional<TextEncoding> encoding = {};  // once read
  std::optional<std::size_t> count = {};      // of a replacement, once run
  // No encoding was told apart that reads it, or more than one: naming one would settle it.
  bool encodingUndetected = false;
};

bool Succeeded(FileOutcome outcome);

// Runs the command over each file (the status lines start as their paths). A file is taken
// by its identity on disk, not its spelling: reached twice, it is done once. The view is told
// each file's report as it concludes; the reports come back too, in the list's order.
std::vector<FileReport> RunFileBatch(const std::vector<ListedFile>& files,
                                     const BatchCommand& command, const FileFormat& format,
                                     BatchView& view);

}  // namespace quobrel
