#include "file_mode.h"

#include <filesystem>
#include <vector>

#include "cli_commands.h"
#include "file_names.h"
#include "status_messages.h"

namespace quobrel::cli {
namespace {

std::string Utf8(std::u16string_view text) { return std::filesystem::path(text).string(); }

// The status lines kept for printing; no events, no end but the last file's.
class StatusLines : public BatchView {
 public:
  StatusLines(std::size_t count, std::optional<std::u16string> outputFolder)
      : lines(count), outputFolder_(std::move(outputFolder)) {}
  void SetStatusLine(std::size_t index, const std::u16string& line) override {
    lines[index] = line;
  }
  std::optional<std::u16string> OutputFolder() override { return outputFolder_; }
  void Yield() override {}
  bool Stopping() override { return false; }

  std::vector<std::u16string> lines;

 private:
  std::optional<std::u16string> outputFolder_;
};

template <class Command>
int Run(Command& command, const Request& request, std::ostream& out) {
  namespace fs = std::filesystem;
  std::optional<std::u16string> outputFolder;
  if (request.outputDirectory) {
    outputFolder = fs::path(*request.outputDirectory).u16string();
    if (!outputFolder->ends_with(u'/')) *outputFolder += u'/';
  }
  // The file lists do not let such files be chosen; here they are named and passed by.
  std::vector<std::u16string> lines(request.files.size());
  std::vector<std::size_t> acceptedAt;
  std::vector<std::u16string> accepted;
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    const fs::path path(request.files[i]);
    if (IsRefused(path.filename().u16string())) {
      lines[i] = path.filename().u16string() + std::u16string(status::kRefused);
    } else {
      acceptedAt.push_back(i);
      accepted.push_back(path.u16string());
    }
  }
  StatusLines view(accepted.size(), outputFolder);
  const std::vector<FileOutcome> outcomes =
      RunFileBatch(accepted, command.ForFiles(), request.encoding.value_or(TextEncoding::Cp932),
                   command.form(), view);
  bool allSucceeded = accepted.size() == request.files.size();
  for (std::size_t k = 0; k < outcomes.size(); ++k) {
    lines[acceptedAt[k]] = view.lines[k];
    allSucceeded = allSucceeded && (outcomes[k] == FileOutcome::Converted ||
                                    outcomes[k] == FileOutcome::NothingToDo);
  }
  for (const std::u16string& line : lines) out << Utf8(line) << '\n';
  out << Utf8(kAllConverted) << '\n';
  return allSucceeded ? 0 : 1;
}

}  // namespace

int RunOnFiles(const Request& request, std::ostream& out) {
  if (const auto* replace = std::get_if<ReplaceRequest>(&request.command)) {
    CliReplace command(*replace);
    return Run(command, request, out);
  }
  CliConvert command(std::get<ConvertRequest>(request.command));
  return Run(command, request, out);
}

}  // namespace quobrel::cli
