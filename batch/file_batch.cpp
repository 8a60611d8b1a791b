#include "batch/file_batch.h"

#include <fcntl.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <future>
#include <memory>

#include "internal/file_run.h"
#include "stream/worker_pool.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Small files converted at once: their flushes to the disk overlap, rather than each
// waiting for the one before.
constexpr std::size_t kSmallFilesAtOnce = 8;
// Their folders are flushed once for this many, or for those placed over this while: each
// flush of a folder waits for the disk, and a status line need not come sooner.
constexpr std::size_t kFilesPerFlush = 64;
using Clock = std::chrono::steady_clock;
constexpr auto kFlushStep = std::chrono::milliseconds(50);
// A file under way when the user stops the batch is finished up to this size; a larger one
// is dropped, as it would keep the user waiting.
constexpr std::uint64_t kFinishedWhenCancelled = std::uint64_t{16} << 20;

// The batch's files one after the other in the view, and several small ones at once
// underneath, each put in place in the list's order.
class Batch {
 public:
  Batch(const std::vector<ListedFile>& files, const BatchCommand& command, const FileFormat& format,
        BatchView& view)
      : files_(files), command_(command), format_(format), view_(view), reports_(files.size()) {}

  std::vector<FileReport> Run() {
    // The file system's own clock, which can lag the precise one.
    ::clock_gettime(CLOCK_REALTIME_COARSE, &memory_.began);
    for (const ListedFile& file : files_) {
      const EntryOpening located = file.locate();
      if (!located.entry) continue;
      if (const std::optional<FileIdentity> identity = IdentityAt(*located.entry))
        memory_.sources.insert(*identity);
    }
    for (std::size_t i = 0; i < files_.size() && !view_.Stopping(); ++i) {
      if (view_.Cancelled()) {
        Conclude(i, CancelledVerdict(i));
      } else {
        Take(i);
      }
    }
    FinishAll();
    return std::move(reports_);
  }

 private:
  struct Converting {
    std::size_t index;
    std::unique_ptr<FileRun> run;
    std::set<NameInFolder> names;
    std::future<Verdict> converted;
  };
  // A small file done with, whose status waits for its folders' flush.
  struct Placed {
    std::size_t index;
    std::unique_ptr<FileRun> run;
    std::set<NameInFolder> names;
    Verdict verdict;
  };

  static bool Touch(const std::set<NameInFolder>& names, const std::set<NameInFolder>& others) {
    return std::any_of(names.begin(), names.end(),
                       [&](const NameInFolder& name) { return others.contains(name); });
  }

  void Take(std::size_t index) {
    auto run = std::make_unique<FileRun>(files_[index], command_, format_, OutputFolderNow(),
                                         bytesConverted_);
    // A file whose names another one under way may still replace waits for it, and for
    // their folders' flush.
    std::set<NameInFolder> names = run->NamesTouched();
    while (std::any_of(converting_.begin(), converting_.end(),
                       [&](const Converting& other) { return Touch(names, other.names); })) {
      FinishOldest();
    }
    if (std::any_of(placed_.begin(), placed_.end(),
                    [&](const Placed& other) { return Touch(names, other.names); })) {
      FlushPlaced();
    }
    // Stopped while it waited: nothing of it has begun.
    if (view_.Cancelled()) {
      Conclude(index, CancelledVerdict(index));
      return;
    }
    if (std::optional<Verdict> verdict = run->Plan(memory_, ShowFor(index))) {
      Conclude(index, *verdict);
      return;
    }
    if (run->Small()) {
      FileRun& small = *run;
      auto quiet = [](FileStatus) { return true; };
      // All of it on one thread of the pool, its one or two pieces too; put in place as soon
      // as converted: another file under way touches none of its names.
      converting_.push_back(
          {index, std::move(run), std::move(names), smallFiles_.Submit([this, &small, quiet] {
             std::optional<Verdict> verdict =
                 small.Convert(onItsThread_, quiet, [] { return true; });
             return verdict ? *verdict : small.Place();
           })});
      if (converting_.size() >= kSmallFilesAtOnce) FinishOldest();
      return;
    }
    // A large file is converted alone, its pieces on every core; stopped by the user, it is
    // finished when that is soon done.
    FinishAll();
    large_ = BatchProgress::File{index, 0, run->Size()};
    largeStart_ = bytesConverted_.load();
    dropWhenCancelled_ = run->Size() > kFinishedWhenCancelled;
    std::optional<Verdict> verdict =
        run->Convert(pieces_, ShowFor(index), [this] { return KeepGoing(); });
    if (!verdict) verdict = ShowFor(index)(FileStatus::Storing) ? run->Place() : StoppedVerdict();
    if (verdict->report.outcome == FileOutcome::Stopped && !view_.Stopping())
      verdict = CancelledVerdict(index);
    large_.reset();
    dropWhenCancelled_ = false;
    NotePlaced(index, std::move(run), std::move(names), std::move(*verdict));
    FlushPlaced();
  }

  Verdict CancelledVerdict(std::size_t index) const {
    return {StatusLine{files_[index].path.filename().native(), FileStatus::Cancelled},
            {FileOutcome::Cancelled, {English("stopped")}, {}}};
  }

  // The output folder the view asks for now, opened when it first asks for it.
  const OutputFolder* OutputFolderNow() {
    const std::optional<fs::path> asked = view_.OutputFolder();
    if (!asked) return nullptr;
    if (!output_ || output_->path != *asked) {
      FileDescriptor folder = OpenFolderAt(AT_FDCWD, asked->c_str());
      output_ =
          folder
              ? OutputFolder{*asked,
                             {FolderEntry{std::make_shared<const FileDescriptor>(std::move(folder)),
                                          "."},
                              {}}}
              : OutputFolder{*asked, {std::nullopt, LastError()}};
    }
    return &*output_;
  }

  // Finishes the oldest file under way, and those after it that are placed already. Their
  // status lines wait for their folders' flush, which is done once for the files placed over
  // a short while.
  void FinishOldest() {
    while (converting_.front().converted.wait_for(kWaitStep) != std::future_status::ready) Yield();
    while (!converting_.empty() && converting_.front().converted.wait_for(
                                       std::chrono::seconds(0)) == std::future_status::ready) {
      Converting& file = converting_.front();
      NotePlaced(file.index, std::move(file.run), std::move(file.names), file.converted.get());
      converting_.pop_front();
    }
    if (placed_.size() >= kFilesPerFlush || Clock::now() - flushed_ >= kFlushStep) FlushPlaced();
  }

  // Notes what a file done with wrote; its status waits for its folders' flush.
  void NotePlaced(std::size_t index, std::unique_ptr<FileRun> run, std::set<NameInFolder> names,
                  Verdict verdict) {
    run->Remember(memory_);
    placed_.push_back({index, std::move(run), std::move(names), std::move(verdict)});
  }

  void FinishAll() {
    while (!converting_.empty()) FinishOldest();
    FlushPlaced();
  }

  // Flushes the folder of each placed file once, then shows their status.
  void FlushPlaced() {
    std::set<FileIdentity> flushed;
    for (Placed& file : placed_) {
      const std::optional<FileIdentity> folder = file.run->Folder();
      if (!folder || flushed.contains(*folder)) continue;
      // A folder whose flush failed is tried again for each file renamed in it.
      if (std::optional<Verdict> failed = file.run->FlushFolders()) {
        file.verdict = *failed;
      } else {
        flushed.insert(*folder);
      }
    }
    for (const Placed& file : placed_) Conclude(file.index, file.verdict);
    placed_.clear();
    flushed_ = Clock::now();
  }

  void Conclude(std::size_t index, const Verdict& verdict) {
    if (verdict.line) view_.SetStatusLine(index, *verdict.line);
    reports_[index] = verdict.report;
    view_.Concluded(index, verdict.report);
    ++filesDone_;
    ShowProgress();
  }

  void ShowProgress() {
    BatchProgress progress{filesDone_, files_.size(),
                           bytesConverted_.load(std::memory_order_relaxed), large_};
    if (progress.file) progress.file->read = progress.bytesConverted - largeStart_;
    view_.ShowProgress(progress);
  }

  void Yield() {
    ShowProgress();
    view_.Yield();
  }

  // Shows a file's status and yields; false when the program is ending.
  FileRun::Show ShowFor(std::size_t index) {
    return [this, index](FileStatus status) {
      view_.SetStatusLine(index, {files_[index].path.filename().native(), status});
      return KeepGoing();
    };
  }

  // Yields; false when the file under way goes no further: the program is ending, or the
  // user stopped the batch and the file is too large to be finished soon.
  bool KeepGoing() {
    Yield();
    return !view_.Stopping() && !(dropWhenCancelled_ && view_.Cancelled());
  }

  const std::vector<ListedFile>& files_;
  const BatchCommand& command_;
  const FileFormat& format_;
  BatchView& view_;
  std::vector<FileReport> reports_;
  std::size_t filesDone_ = 0;
  std::atomic<std::uint64_t> bytesConverted_ = 0;
  BatchMemory memory_;
  std::optional<OutputFolder> output_;
  std::optional<BatchProgress::File> large_;  // a large file under way
  std::uint64_t largeStart_ = 0;              // what the conversions had read before it
  bool dropWhenCancelled_ = false;
  WorkerPool pieces_;
  WorkerPool onItsThread_{0};
  WorkerPool smallFiles_{kSmallFilesAtOnce};
  std::deque<Converting> converting_;
  std::vector<Placed> placed_;
  Clock::time_point flushed_ = Clock::now();
};

}  // namespace

bool Succeeded(FileOutcome outcome) {
  return outcome == FileOutcome::Converted || outcome == FileOutcome::NothingToDo ||
         outcome == FileOutcome::AlreadyDone;
}

std::vector<FileReport> RunFileBatch(const std::vector<ListedFile>& files,
                                     const BatchCommand& command, const FileFormat& format,
                                     BatchView& view) {
  return Batch(files, command, format, view).Run();
}

}  // namespace quobrel
