#include "file_batch.h"

#include <filesystem>
#include <set>

#include "file_names.h"
#include "file_system.h"
#include "status_messages.h"
#include "text_lines.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// One file's way through a batch. Unlike a plain "delete the old backup, copy, convert,
// write", nothing on the disk changes until the result is known to be writable: the
// backup is made only then, and each file is replaced only once its copy is complete.
class FileRun {
 public:
  FileRun(std::u16string path, const BatchCommand& command, TextEncoding encoding, FormData& form,
          BatchView& view, std::size_t index, std::set<fs::path>& backupsMade)
      : path_(std::move(path)),
        name_(fs::path(path_).filename().u16string()),
        command_(command),
        encoding_(encoding),
        form_(form),
        view_(view),
        index_(index),
        backupsMade_(backupsMade) {}

  FileOutcome Run() {
    if (!IsFile(path_)) {
      view_.SetStatusLine(index_, path_ + std::u16string(status::kNotFound));
      return FileOutcome::NotFound;
    }
    // Decided now, for this file: a change in the window applies from the next file on.
    const std::optional<std::u16string> outputFolder = view_.OutputFolder();
    const fs::path target = outputFolder ? fs::path(*outputFolder + name_) : fs::path(path_);
    // In place the source is kept; into a folder, a file already there.
    const bool keepsBackup = !outputFolder || IsFile(target);
    const fs::path backup = BackupName(target.u16string());
    if (keepsBackup && backupsMade_.contains(backup)) return Fail(status::kSharedBackup);

    if (!Show(status::kReading)) return FileOutcome::Stopped;
    if (const auto outcome = Read()) return *outcome;
    if (!Show(status::kConverting)) return FileOutcome::Stopped;
    const std::size_t count = command_.run();
    if (command_.counted) {
      if (!Show(status::kCounting)) return FileOutcome::Stopped;
      if (count == 0) {
        Show(Counted(status::kNothingReplaced, 0));
        return FileOutcome::NothingToDo;
      }
    }

    const EncodedText encoded = Encode(form_.ResultData, encoding_);
    if (encoded.unencodableAt) return Fail(status::kUnencodable);
    if (keepsBackup) {
      if (CopyFileAtomically(target, backup)) return Fail(status::kCannotBackUp);
      backupsMade_.insert(backup);
    }
    if (!Show(status::kStoring)) return FileOutcome::Stopped;
    if (WriteFileAtomically(target, {encoded.bytes, "\r\n"})) return Fail(status::kCannotWrite);
    Show(command_.counted ? Counted(status::kFinishedCounted, count)
                          : std::u16string(status::kFinished));
    return FileOutcome::Converted;
  }

 private:
  // The file's lines, joined by CR LF, into SourceData; or why not.
  std::optional<FileOutcome> Read() {
    std::string bytes;
    if (ReadFile(path_, bytes)) return Fail(status::kCannotRead);
    DecodedText decoded = Decode(bytes, encoding_);
    // Invalid bytes would come back as other characters: such a file is left alone.
    if (decoded.invalidByteAt) return Fail(status::kInvalidBytes);
    std::string().swap(bytes);
    form_.SourceData = JoinedLines(std::move(decoded.text));
    form_.ResultData.clear();
    return std::nullopt;
  }

  // Shows the status and yields; false when the program is ending.
  bool Show(std::u16string_view status) {
    view_.SetStatusLine(index_, name_ + std::u16string(status));
    view_.Yield();
    return !view_.Stopping();
  }

  FileOutcome Fail(std::u16string_view why) {
    view_.SetStatusLine(index_, name_ + std::u16string(why));
    return FileOutcome::Failed;
  }

  static std::u16string Counted(std::u16string_view status, std::size_t count) {
    const std::string digits = std::to_string(count);
    return std::u16string(status) + std::u16string(digits.begin(), digits.end()) + u")";
  }

  const std::u16string path_;
  const std::u16string name_;
  const BatchCommand& command_;
  const TextEncoding encoding_;
  FormData& form_;
  BatchView& view_;
  const std::size_t index_;
  std::set<fs::path>& backupsMade_;
};

}  // namespace

std::vector<FileOutcome> RunFileBatch(const std::vector<std::u16string>& paths,
                                      const BatchCommand& command, TextEncoding encoding,
                                      FormData& form, BatchView& view) {
  // Two files whose names differ only in their extension share a backup name: the first
  // one's backup is never given up for the second.
  std::set<fs::path> backupsMade;
  std::vector<FileOutcome> outcomes;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    outcomes.push_back(
        view.Stopping() ? FileOutcome::Stopped
                        : FileRun(paths[i], command, encoding, form, view, i, backupsMade).Run());
    form = {};
  }
  return outcomes;
}

}  // namespace quobrel
