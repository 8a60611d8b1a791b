#include "cli/file_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <vector>

#include "cli/json_lines.h"
#include "cli/messages.h"
#include "cli/progress_line.h"
#include "cli/request_command.h"
#include "cli/stop_signals.h"
#include "cli/translation.h"
#include "files/file_errors.h"
#include "files/file_names.h"
#include "files/folder_entry.h"
#include "files/folder_walk.h"
#include "files/posix_file.h"
#include "status/status_text.h"

namespace quobrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Utf8(std::u16string_view text) { return fs::path(text).string(); }

// A file of the request: named, or found in a folder it names.
struct Listed {
  ListedFile file;
  bool found = false;
};

// The files the request names, with the files in its folders when it walks them, but for
// those in the output folder; the folders that could not be read, and the links passed by,
// are reported.
std::vector<Listed> FilesOf(const Request& request, std::optional<FileIdentity> outputFolder,
                            bool& allRead) {
  std::vector<Listed> files;
  for (const std::string& file : request.files) {
    std::optional<FolderWalk> walked =
        request.recursive ? WalkFolder(file, outputFolder) : std::nullopt;
    if (!walked) {
      files.push_back({ListedFile::Named(file), false});
      continue;
    }
    for (const auto& [folder, error] : walked->unreadable) {
      ReportFile(folder.native(), {English("cannot read the folder: {}"), {}, error});
      allRead = false;
    }
    for (const auto& [link, error] : walked->linksPassedBy) {
      ReportFile(link.native(), {English("passed by: {}"), {}, error});
      allRead = false;
    }
    for (ListedFile& found : walked->files) files.push_back({std::move(found), true});
  }
  return files;
}

// Each file's status line as it is done, in the list's order, and the progress on a
// terminal meanwhile.
class StatusReport : public BatchView {
 public:
  StatusReport(const Request& request, const std::vector<Listed>& files, std::ostream& out)
      : request_(request), files_(files), out_(out), lines_(files.size()), reports_(files.size()) {
    if (request.outputDirectory) outputFolder_ = fs::path(*request.outputDirectory);
    // On a terminal the status lines tell the progress themselves.
    const bool linesShown = !request.quiet && ::isatty(STDOUT_FILENO);
    if (::isatty(STDERR_FILENO) && !linesShown) ShowProgressLine();
  }

  void SetStatusLine(std::size_t index, const StatusLine& line) override { lines_[index] = line; }
  std::optional<fs::path> OutputFolder() override { return outputFolder_; }
  void Yield() override {}
  bool Stopping() override { return false; }
  bool Cancelled() override { return StopSignal() != 0; }
  void ShowProgress(const BatchProgress& progress) override {
    if (progress_) progress_->Show(progress, ProgressLine::Clock::now());
  }
  void Concluded(std::size_t index, const FileReport& report) override {
    reports_[index] = report;
    while (next_ < files_.size() && reports_[next_]) Print(next_++);
  }

  // The closing line, or the summary; false when the status lines could not be written.
  bool Finish() {
    progress_.reset();
    if (request_.json) {
      out_ << SummaryObject(done_, notDone_) << '\n';
    } else if (!request_.quiet) {
      out_ << Utf8(kAllConverted) << '\n';
    }
    // The summary follows the closing line where both go to one place.
    const bool written = static_cast<bool>(out_.flush());
    if (notDone_ > 0) {
      const std::size_t files = done_ + notDone_;
      ReportError(
          Reason{TrCount("{} file: {} done, {} not done", "{} files: {} done, {} not done", files),
                 {std::to_string(files), std::to_string(done_), std::to_string(notDone_)}}
              .Text());
    }
    return written;
  }

  bool AllDone() const { return notDone_ == 0; }

 private:
  void ShowProgressLine() {
    progress_.emplace([](const std::string& text) { (void)WriteAll(STDERR_FILENO, text); }, start_);
  }

  void Print(std::size_t index) {
    const Listed& listed = files_[index];
    const FileReport& report = *reports_[index];
    // A walk passes binary files by, as it does the other kinds never converted.
    if (listed.found && report.error == FileError::Binary) return;
    const bool succeeded = Succeeded(report.outcome);
    ++(succeeded ? done_ : notDone_);
    if (!succeeded && report.outcome != FileOutcome::Cancelled) {
      // Over the progress, which is drawn again after it.
      const bool progress = progress_.has_value();
      progress_.reset();
      ReportNotDone(listed.file.path.native(), report);
      if (progress) ShowProgressLine();
    }
    const StatusLine& line = lines_[index];
    // Files found in folders go by their paths, as names alone could be taken for each other.
    const std::string& name = request_.recursive ? listed.file.path.native() : line.name;
    if (request_.json) {
      out_ << FileObject(listed.file.path.native(), line, report) << '\n';
    } else if (!request_.quiet) {
      out_ << PrintableName(name) << Utf8(StatusText(line)) << '\n';
    }
    out_.flush();
  }

  const Request& request_;
  const std::vector<Listed>& files_;
  std::ostream& out_;
  std::optional<fs::path> outputFolder_;
  std::vector<StatusLine> lines_;
  std::vector<std::optional<FileReport>> reports_;
  std::size_t next_ = 0;
  std::size_t done_ = 0;
  std::size_t notDone_ = 0;
  ProgressLine::Clock::time_point start_ = ProgressLine::Clock::now();
  std::optional<ProgressLine> progress_;
};

// Why the output folder cannot be written in, if it cannot; else what it is.
std::optional<std::string> OutputFolderProblem(const std::string& folder,
                                               std::optional<FileIdentity>& identity) {
  if (const FileDescriptor opened = OpenFolderAt(AT_FDCWD, folder.c_str())) {
    identity = IdentityOf(opened.get());
    return std::nullopt;
  }
  const std::error_code error = LastError();
  const char* pattern = error == std::errc::no_such_file_or_directory ? N_("{}: no such folder")
                        : error == std::errc::not_a_directory         ? N_("{}: not a folder")
                                                                      : nullptr;
  if (pattern) return Reason{Tr(pattern), {PrintableName(folder)}}.Text();
  return PrintableName(folder) + ": " + Said(ReasonOf(error));
}

}  // namespace

int RunOnFiles(const Request& request, std::ostream& out) {
  std::optional<FileIdentity> outputFolder;
  if (request.outputDirectory) {
    if (std::optional<std::string> problem =
            OutputFolderProblem(*request.outputDirectory, outputFolder)) {
      ReportError(*problem);
      return 1;
    }
  }
  CatchStopSignals();
  // A reader of the status lines that goes away does not stop the batch half-way.
  std::signal(SIGPIPE, SIG_IGN);
  bool allRead = true;
  const std::vector<Listed> files = FilesOf(request, outputFolder, allRead);
  std::vector<ListedFile> batch;
  batch.reserve(files.size());
  for (const Listed& listed : files) batch.push_back(listed.file);
  StatusReport report(request, files, out);
  RunFileBatch(batch, CommandOf(request), FormatOf(request), report);
  const bool written = report.Finish();
  if (!written) ReportError(Tr("cannot write the status lines"));
  if (const int signal = StopSignal()) return ExitStatusOf(signal);
  return written && allRead && report.AllDone() ? 0 : 1;
}

}  // namespace quobrel::cli
