#include "batch/file_batch.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <future>
#include <memory>

#include "batch/file_run.h"
#include "batch/status_messages.h"
#include "batch/worker_pool.h"

namespace quobrel {
namespace fs = std::filesystem;
namespace {

// Small files converted at once: their flushes to the disk overlap, rather than each
// waiting for the one before.
constexpr std::size_t kSmallFilesAtOnce = 8;

// The batch's files one after the other in the view, and several small ones at once
// underneath, each put in place in the list's order.
class Batch {
 public:
  Batch(const std::vector<fs::path>& paths, const BatchCommand& command, const FileFormat& format,
        BatchView& view)
      : paths_(paths), command_(command), format_(format), view_(view), reports_(paths.size()) {}

  std::vector<FileReport> Run() {
    for (const fs::path& path : paths_) {
      struct stat status;
      if (::stat(path.c_str(), &status) == 0) memory_.sources.insert(FileIdentity::Of(status));
    }
    for (std::size_t i = 0; i < paths_.size() && !view_.Stopping(); ++i) Take(i);
    while (!converting_.empty()) FinishOldest();
    return std::move(reports_);
  }

 private:
  struct Converting {
    std::size_t index;
    std::unique_ptr<FileRun> run;
    std::set<NameInFolder> names;
    std::future<Verdict> converted;
  };

  void Take(std::size_t index) {
    auto run = std::make_unique<FileRun>(paths_[index], command_, format_, view_.OutputFolder(),
                                         bytesConverted_);
    // A file whose names another one under way may still replace waits for it.
    std::set<NameInFolder> names = run->NamesTouched();
    while (std::any_of(converting_.begin(), converting_.end(), [&](const Converting& other) {
      return std::any_of(names.begin(), names.end(),
                         [&](const NameInFolder& name) { return other.names.contains(name); });
    })) {
      FinishOldest();
    }
    if (std::optional<Verdict> verdict = run->Plan(memory_, ShowFor(index))) {
      Conclude(index, *verdict);
      return;
    }
    if (run->Small()) {
      FileRun& small = *run;
      auto quiet = [](std::u16string_view) { return true; };
      // All of it on one thread of the pool, its one or two pieces too; put in place as soon
      // as converted: another file under way touches none of its names.
      converting_.push_back(
          {index, std::move(run), std::move(names), files_.Submit([this, &small, quiet] {
             std::optional<Verdict> verdict =
                 small.Convert(onItsThread_, quiet, [] { return true; });
             return verdict ? *verdict : small.Place();
           })});
      if (converting_.size() >= kSmallFilesAtOnce) FinishOldest();
      return;
    }
    // A large file is converted alone, its pieces on every core.
    while (!converting_.empty()) FinishOldest();
    std::optional<Verdict> verdict =
        run->Convert(pieces_, ShowFor(index), [this] { return KeepGoing(); });
    if (!verdict) {
      verdict = ShowFor(index)(status::kStoring)
                    ? run->Place()
                    : Verdict{std::nullopt, {FileOutcome::Stopped, {}}};
    }
    if (!run->Folders().empty()) {
      if (std::optional<Verdict> failed = run->FlushFolders()) verdict = failed;
    }
    run->Remember(memory_);
    Conclude(index, *verdict);
  }

  // Finishes the oldest file under way, and those after it that are placed already: their
  // folders flushed once for all of them, their status lines in the list's order.
  void FinishOldest() {
    while (converting_.front().converted.wait_for(kWaitStep) != std::future_status::ready) Yield();
    std::size_t ready = 0;
    while (ready < converting_.size() && converting_[ready].converted.wait_for(std::chrono::seconds(
                                             0)) == std::future_status::ready) {
      ++ready;
    }
    std::vector<Verdict> verdicts;
    std::set<FileIdentity> flushed;
    for (std::size_t i = 0; i < ready; ++i) {
      Converting& file = converting_[i];
      verdicts.push_back(file.converted.get());
      const std::vector<FileIdentity> folders = file.run->Folders();
      if (std::all_of(folders.begin(), folders.end(),
                      [&](const FileIdentity& folder) { return flushed.contains(folder); })) {
        continue;
      }
      // A folder whose flush failed is tried again for each file renamed in it.
      if (std::optional<Verdict> failed = file.run->FlushFolders()) {
        verdicts.back() = *failed;
      } else {
        flushed.insert(folders.begin(), folders.end());
      }
    }
    for (const Verdict& verdict : verdicts) {
      converting_.front().run->Remember(memory_);
      Conclude(converting_.front().index, verdict);
      converting_.pop_front();
    }
  }

  void Conclude(std::size_t index, const Verdict& verdict) {
    if (verdict.line) view_.SetStatusLine(index, *verdict.line);
    reports_[index] = verdict.report;
    ++filesDone_;
    ShowProgress();
  }

  void ShowProgress() {
    view_.ShowProgress(
        {filesDone_, paths_.size(), bytesConverted_.load(std::memory_order_relaxed)});
  }

  void Yield() {
    ShowProgress();
    view_.Yield();
  }

  // Shows a file's status and yields; false when the program is ending.
  FileRun::Show ShowFor(std::size_t index) {
    return [this, index](std::u16string_view status) {
      view_.SetStatusLine(index, {paths_[index].filename().native(), std::u16string(status)});
      return KeepGoing();
    };
  }

  bool KeepGoing() {
    Yield();
    return !view_.Stopping();
  }

  const std::vector<fs::path>& paths_;
  const BatchCommand& command_;
  const FileFormat& format_;
  BatchView& view_;
  std::vector<FileReport> reports_;
  std::size_t filesDone_ = 0;
  std::atomic<std::uint64_t> bytesConverted_ = 0;
  BatchMemory memory_;
  WorkerPool pieces_;
  WorkerPool onItsThread_{0};
  WorkerPool files_{kSmallFilesAtOnce};
  std::deque<Converting> converting_;
};

}  // namespace

bool Succeeded(FileOutcome outcome) {
  return outcome == FileOutcome::Converted || outcome == FileOutcome::NothingToDo ||
         outcome == FileOutcome::AlreadyDone;
}

std::vector<FileReport> RunFileBatch(const std::vector<fs::path>& paths,
                                     const BatchCommand& command, const FileFormat& format,
                                     BatchView& view) {
  return Batch(paths, command, format, view).Run();
}

}  // namespace quobrel
