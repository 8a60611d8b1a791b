#include "cli/file_mode.h"

#include <filesystem>
#include <vector>

#include "batch/file_names.h"
#include "batch/status_messages.h"
#include "cli/request_command.h"

namespace quobrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Utf8(std::u16string_view text) { return fs::path(text).string(); }

// The status lines kept for printing; no events, no end but the last file's.
class StatusLines : public BatchView {
 public:
  StatusLines(std::size_t count, std::optional<fs::path> outputFolder)
      : lines(count), outputFolder_(std::move(outputFolder)) {}
  void SetStatusLine(std::size_t index, const StatusLine& line) override { lines[index] = line; }
  std::optional<fs::path> OutputFolder() override { return outputFolder_; }
  void Yield() override {}
  bool Stopping() override { return false; }

  std::vector<StatusLine> lines;

 private:
  std::optional<fs::path> outputFolder_;
};

// Files are told apart one by one unless an encoding is named; one of ASCII only, told
// apart, is written as UTF-8, as most files here are.
FileFormat Format(const Request& request) {
  return {request.encoding.value_or(std::nullopt), TextEncoding::Utf8, request.lineBreaks};
}

}  // namespace

int RunOnFiles(const Request& request, std::ostream& out, std::ostream& errors) {
  std::optional<fs::path> outputFolder;
  if (request.outputDirectory) outputFolder = fs::path(*request.outputDirectory);
  // The file lists do not let such files be chosen; here they are named and passed by.
  std::vector<StatusLine> lines(request.files.size());
  std::vector<std::size_t> acceptedAt;
  std::vector<fs::path> accepted;
  bool allSucceeded = true;
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    const fs::path path(request.files[i]);
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
  for (std::size_t k = 0; k < reports.size(); ++k) {
    lines[acceptedAt[k]] = view.lines[k];
    if (Succeeded(reports[k].outcome)) continue;
    allSucceeded = false;
    errors << "quobrel-cli: " << accepted[k].native() << ": " << reports[k].reason << '\n';
  }
  for (const StatusLine& line : lines) out << line.name << Utf8(line.message) << '\n';
  out << Utf8(kAllConverted) << '\n';
  if (!out.flush()) {
    errors << "quobrel-cli: cannot write the status lines\n";
    return 1;
  }
  return allSucceeded ? 0 : 1;
}

}  // namespace quobrel::cli
