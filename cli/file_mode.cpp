#include "cli/file_mode.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

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

// The files the request names, with the files in its folders when it walks them; the
// folders that could not be read are reported.
std::vector<fs::path> FilesOf(const Request& request, std::ostream& errors, bool& allRead) {
  std::vector<fs::path> files;
  for (const std::string& file : request.files) {
    struct stat status;
    if (!request.recursive || ::stat(file.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
      files.emplace_back(file);
      continue;
    }
    FolderWalk walk = WalkFolder(file);
    for (const auto& [folder, error] : walk.unreadable) {
      errors << "quobrel-cli: " << folder.native()
             << ": cannot read the folder: " << error.message() << '\n';
      allRead = false;
    }
    files.insert(files.end(), walk.files.begin(), walk.files.end());
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
  const std::vector<fs::path> files = FilesOf(request, errors, allSucceeded);
  // The file lists do not let such files be chosen; here they are named and passed by.
  std::vector<StatusLine> lines(files.size());
  std::vector<std::size_t> acceptedAt;
  std::vector<fs::path> accepted;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const fs::path& path = files[i];
    if (IsRefused(path.filename().native())) {
      lines[i] = {path.filename(), std::u16string(status::kRefused)};
      errors << "quobrel-cli: " << path.native() << ": not a kind of file it converts\n";
      allSucceeded = false;
    } else {
      acceptedAt.push_back(i);
      accepted.push_back(path);
    }
  }
  StatusLines view(accepted.size(), outputFolder);
  const std::vector<FileReport> reports =
      RunFileBatch(accepted, CommandOf(request), Format(request), view);
  view.Finish();
  for (std::size_t k = 0; k < reports.size(); ++k) {
    lines[acceptedAt[k]] = view.lines[k];
    if (Succeeded(reports[k].outcome)) continue;
    allSucceeded = false;
    errors << "quobrel-cli: " << accepted[k].native() << ": " << reports[k].reason << '\n';
  }
  // Files found in folders go by their paths, as names alone could be taken for each other.
  for (std::size_t i = 0; i < files.size(); ++i)
    out << (request.recursive ? files[i].native() : lines[i].name) << Utf8(lines[i].message)
        << '\n';
  out << Utf8(kAllConverted) << '\n';
  if (!out.flush()) {
    errors << "quobrel-cli: cannot write the status lines\n";
    return 1;
  }
  return allSucceeded ? 0 : 1;
}

}  // namespace quobrel::cli
