#include "cli/file_mode.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "batch/file_errors.h"
#include "batch/file_names.h"
#include "batch/folder_walk.h"
#include "batch/posix_file.h"
#include "batch/status_messages.h"
#include "cli/progress_line.h"
#include "cli/request_command.h"

namespace quobrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Utf8(std::u16string_view text) { return fs::path(text).string(); }

// The status lines kept for printing, and the progress on a terminal; no events, no end
// but the last file's.
class StatusLines : public BatchView {
 public:
  StatusLines(std::size_t count, std::optional<fs::path> outputFolder)
      : lines(count), outputFolder_(std::move(outputFolder)) {
    if (::isatty(STDERR_FILENO)) {
      progress_.emplace([](const std::string& text) { (void)WriteAll(STDERR_FILENO, text); },
                        ProgressLine::Clock::now());
    }
  }
  void SetStatusLine(std::size_t index, const StatusLine& line) override { lines[index] = line; }
  std::optional<fs::path> OutputFolder() override { return outputFolder_; }
  void Yield() override {}
  bool Stopping() override { return false; }
  void ShowProgress(const BatchProgress& progress) override {
    if (progress_) progress_->Show(progress, ProgressLine::Clock::now());
  }
  // Wipes the progress, before anything else is printed.
  void Finish() { progress_.reset(); }

  std::vector<StatusLine> lines;

 private:
  std::optional<fs::path> outputFolder_;
  std::optional<ProgressLine> progress_;
};

void Report(std::ostream& errors, const fs::path& path, std::string_view reason) {
  errors << "quobrel-cli: " << PrintableName(path.native()) << ": " << reason << '\n';
}

// A file of the request: named, or found in a folder it names.
struct Listed {
  BatchFile file;
  bool found = false;
};

// The files the request names, with the files in its folders when it walks them; the
// folders that could not be read, and the links passed by, are reported.
std::vector<Listed> FilesOf(const Request& request, std::ostream& errors, bool& allRead) {
  std::vector<Listed> files;
  for (const std::string& file : request.files) {
    std::optional<FolderWalk> walked = request.recursive ? WalkFolder(file) : std::nullopt;
    if (!walked) {
      files.push_back({BatchFile::Named(file), false});
      continue;
    }
    FolderWalk& walk = *walked;
    for (const auto& [folder, error] : walk.unreadable) {
      Report(errors, folder, "cannot read the folder: " + error.message());
      allRead = false;
    }
    for (const auto& [link, error] : walk.linksPassedBy) {
      Report(errors, link, "passed by: " + error.message());
      allRead = false;
    }
    for (BatchFile& found : walk.files) files.push_back({std::move(found), true});
  }
  return files;
}

// Files are told apart one by one unless an encoding is named; one of ASCII only, told
// apart, is written as UTF-8, as most files here are.
FileFormat Format(const Request& request) {
  return {request.encoding.value_or(std::nullopt), TextEncoding::Utf8, request.lineBreaks};
}

}  // namespace

int RunOnFiles(const Request& request, std::ostream& out, std::ostream& errors) {
  std::optional<fs::path> outputFolder;
  if (request.outputDirectory) outputFolder = fs::path(*request.outputDirectory);
  bool allSucceeded = true;
  const std::vector<Listed> files = FilesOf(request, errors, allSucceeded);
  // The file lists do not let such files be chosen; here they are named and passed by.
  std::vector<std::optional<StatusLine>> lines(files.size());
  std::vector<std::size_t> acceptedAt;
  std::vector<BatchFile> accepted;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const fs::path& path = files[i].file.path;
    if (IsRefused(path.filename().native())) {
      lines[i] = {path.filename(), std::u16string(status::kRefused)};
      Report(errors, path, "not a kind of file it converts");
      allSucceeded = false;
    } else {
      acceptedAt.push_back(i);
      accepted.push_back(files[i].file);
    }
  }
  StatusLines view(accepted.size(), outputFolder);
  const std::vector<FileReport> reports =
      RunFileBatch(accepted, CommandOf(request), Format(request), view);
  view.Finish();
  for (std::size_t k = 0; k < reports.size(); ++k) {
    const std::size_t i = acceptedAt[k];
    // A walk passes binary files by, as it does the other kinds never converted.
    if (files[i].found && reports[k].error == FileError::Binary) continue;
    lines[i] = view.lines[k];
    if (Succeeded(reports[k].outcome)) continue;
    allSucceeded = false;
    Report(errors, files[i].file.path, reports[k].reason);
  }
  // Files found in folders go by their paths, as names alone could be taken for each other.
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!lines[i]) continue;
    const std::string& name = request.recursive ? files[i].file.path.native() : lines[i]->name;
    out << PrintableName(name) << Utf8(lines[i]->message) << '\n';
  }
  out << Utf8(kAllConverted) << '\n';
  if (!out.flush()) {
    errors << "quobrel-cli: cannot write the status lines\n";
    return 1;
  }
  return allSucceeded ? 0 : 1;
}

}  // namespace quobrel::cli
